#include "tools/storewriter/data_tree_writer.h"

#include <algorithm>
#include <vector>

#include "common/little_endian.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint8_t kBtypeDataTree = 0x01;
constexpr std::size_t kTreeHeaderSize = 8;  // btype, cLevel, cEnt, lcbTotal
constexpr std::uint64_t kMaxTotal = 0xFFFFFFFFu;

}  // namespace

std::size_t DataTreeWriter::FanOut() const {
    return (layout_.maxBlockData - kTreeHeaderSize) / layout_.idWidth;
}

std::uint64_t DataTreeWriter::Write(std::span<const std::uint8_t> bytes) {
    if (bytes.size() <= layout_.maxBlockData) return blocks_.Write(bytes, BlockKind::kData);
    if (bytes.size() <= XBlockCapacity()) return WriteXBlock(bytes);
    if (bytes.size() <= kMaxTotal && bytes.size() <= XBlockCapacity() * FanOut())
        return WriteXXBlock(bytes);
    error_ = "a value of " + std::to_string(bytes.size()) + " bytes does not fit one data tree";
    return 0;
}

std::uint64_t DataTreeWriter::WriteXBlock(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint64_t> children;
    for (std::size_t at = 0; at < bytes.size(); at += layout_.maxBlockData) {
        const std::uint64_t bid =
            blocks_.Write(bytes.subspan(at, std::min(layout_.maxBlockData, bytes.size() - at)),
                          BlockKind::kTreeData);
        if (bid == 0) return 0;
        children.push_back(bid);
    }
    return WriteTreeBlock(1, children, bytes.size());
}

std::uint64_t DataTreeWriter::WriteXXBlock(std::span<const std::uint8_t> bytes) {
    const std::uint64_t share = XBlockCapacity();
    std::vector<std::uint64_t> children;
    for (std::uint64_t at = 0; at < bytes.size(); at += share) {
        const std::uint64_t bid =
            WriteXBlock(bytes.subspan(at, std::min<std::uint64_t>(share, bytes.size() - at)));
        if (bid == 0) return 0;
        children.push_back(bid);
    }
    return WriteTreeBlock(2, children, bytes.size());
}

std::uint64_t DataTreeWriter::WriteBlocks(std::span<const std::vector<std::uint8_t>> blocks) {
    if (blocks.size() == 1) return blocks_.Write(blocks.front(), BlockKind::kData);
    if (blocks.empty() || blocks.size() > FanOut() * FanOut()) {
        error_ =
            "a value of " + std::to_string(blocks.size()) + " blocks does not fit one data tree";
        return 0;
    }
    if (blocks.size() <= FanOut()) return WriteBlockList(blocks);
    std::vector<std::uint64_t> children;
    std::uint64_t total = 0;
    for (std::size_t at = 0; at < blocks.size(); at += FanOut()) {
        const auto share = blocks.subspan(at, std::min(FanOut(), blocks.size() - at));
        const std::uint64_t bid = WriteBlockList(share);
        if (bid == 0) return 0;
        children.push_back(bid);
        for (const auto& block : share) total += block.size();
    }
    return WriteTreeBlock(2, children, total);
}

std::uint64_t DataTreeWriter::WriteRepeated(std::span<const std::uint8_t> bytes,
                                            std::uint64_t count) {
    const std::uint64_t total = count * bytes.size();
    if (count == 0 || count > FanOut() * FanOut() || total > kMaxTotal ||
        bytes.size() > layout_.maxBlockData) {
        error_ =
            "a value of " + std::to_string(count) + " repeated blocks does not fit one data tree";
        return 0;
    }
    if (count == 1) return blocks_.Write(bytes, BlockKind::kData);
    const std::uint64_t block = blocks_.Write(bytes, BlockKind::kTreeData);
    if (block == 0) return 0;
    std::vector<std::uint64_t> xblocks;
    for (std::uint64_t at = 0; at < count; at += FanOut()) {
        const std::vector<std::uint64_t> places(std::min<std::uint64_t>(FanOut(), count - at),
                                                block);
        const std::uint64_t bid = WriteTreeBlock(1, places, places.size() * bytes.size());
        if (bid == 0) return 0;
        xblocks.push_back(bid);
    }
    return xblocks.size() == 1 ? xblocks.front() : WriteTreeBlock(2, xblocks, total);
}

std::uint64_t DataTreeWriter::WriteBlockList(std::span<const std::vector<std::uint8_t>> blocks) {
    std::vector<std::uint64_t> children;
    std::uint64_t total = 0;
    for (const auto& block : blocks) {
        const std::uint64_t bid = blocks_.Write(block, BlockKind::kTreeData);
        if (bid == 0) return 0;
        children.push_back(bid);
        total += block.size();
    }
    if (total > kMaxTotal) {
        error_ = "a value of " + std::to_string(total) + " bytes does not fit one data tree";
        return 0;
    }
    return WriteTreeBlock(1, children, total);
}

std::uint64_t DataTreeWriter::WriteTreeBlock(std::uint8_t level,
                                             std::span<const std::uint64_t> bids,
                                             std::uint64_t total) {
    std::vector<std::uint8_t> block(kTreeHeaderSize + bids.size() * layout_.idWidth, 0);
    block[0] = kBtypeDataTree;
    block[1] = level;
    common::StoreLE16(block.data() + 2, static_cast<std::uint16_t>(bids.size()));
    common::StoreLE32(block.data() + 4, static_cast<std::uint32_t>(total));
    for (std::size_t i = 0; i < bids.size(); ++i) {
        StoreId(layout_, block.data() + kTreeHeaderSize + i * layout_.idWidth, bids[i]);
    }
    return blocks_.Write(block, BlockKind::kInternal);
}

}  // namespace velmora::storewriter
