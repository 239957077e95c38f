// What a node or subnode holds before it is written: its data as a list of
// data blocks (a heap keeps one heap block per data block), and the subnodes
// below it, each of which may have subnodes of its own.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace velmora::storewriter {

class StoreWriter;

using ByteVector = std::vector<std::uint8_t>;

struct SubnodeContent;

struct NodeContent {
    std::vector<ByteVector> blocks;
    std::vector<SubnodeContent> subnodes;
};

struct SubnodeContent {
    std::uint32_t nid = 0;
    NodeContent content;
};

struct NodeBids {
    std::uint64_t data = 0;
    std::uint64_t sub = 0;
};

// Cuts a value into blocks of at most `maxBlock` bytes (one empty block for an
// empty value).
std::vector<ByteVector> SplitIntoBlocks(std::span<const std::uint8_t> bytes, std::size_t maxBlock);

// Writes the blocks, the subnodes and their subnode trees; data is 0 on failure.
NodeBids WriteNodeContent(StoreWriter& writer, const NodeContent& content);

}  // namespace velmora::storewriter
