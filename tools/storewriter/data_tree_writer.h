// Stores a value too large for one block as a data tree: data blocks under an
// XBLOCK, or under XBLOCKs under an XXBLOCK when one XBLOCK cannot list them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/storewriter/block_writer.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

class DataTreeWriter {
  public:
    DataTreeWriter(const VariantLayout& layout, BlockWriter& blocks)
        : layout_(layout), blocks_(blocks) {}

    // The BID a node stores for `bytes`: a data block's, or the top of a data
    // tree's. 0 when the value is too large for an XXBLOCK or writing failed.
    std::uint64_t Write(std::span<const std::uint8_t> bytes);
    // The same for a value already cut into blocks of at most maxBlockData
    // bytes, each of which becomes one data block as it is (heap blocks, row
    // matrices whose blocks end in unused bytes).
    std::uint64_t WriteBlocks(std::span<const std::vector<std::uint8_t>> blocks);

    // A value of one data block's `bytes` (at most maxBlockData) repeated
    // `count` times: the block is written once and listed at every place, as
    // stores that share a block do. 0 when it does not fit one data tree.
    std::uint64_t WriteRepeated(std::span<const std::uint8_t> bytes, std::uint64_t count);

    // How many BIDs one XBLOCK or XXBLOCK lists.
    std::size_t FanOut() const;
    // The largest value one XBLOCK holds.
    std::uint64_t XBlockCapacity() const { return std::uint64_t{FanOut()} * layout_.maxBlockData; }

    const std::string& Error() const { return error_; }

  private:
    std::uint64_t WriteXBlock(std::span<const std::uint8_t> bytes);
    std::uint64_t WriteXXBlock(std::span<const std::uint8_t> bytes);
    std::uint64_t WriteBlockList(std::span<const std::vector<std::uint8_t>> blocks);
    std::uint64_t WriteTreeBlock(std::uint8_t level, std::span<const std::uint64_t> bids,
                                 std::uint64_t total);

    const VariantLayout& layout_;
    BlockWriter& blocks_;
    std::string error_;
};

}  // namespace velmora::storewriter
