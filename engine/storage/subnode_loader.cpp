#include "engine/storage/subnode_loader.h"

#include <algorithm>

#include "common/little_endian.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

struct SubnodeBlockHeader {
    std::uint8_t btype;
    std::uint8_t cLevel;
    std::uint16_t cEnt;
};

SubnodeBlockHeader ParseHeader(common::Bytes block) {
    return {common::LoadLE<std::uint8_t>(block, 0), common::LoadLE<std::uint8_t>(block, 1),
            common::LoadLE<std::uint16_t>(block, 2)};
}

// How many entries of `entrySize` the block really holds after its header.
std::size_t FittingEntries(common::Bytes block, std::size_t headerSize, std::size_t entrySize,
                           std::size_t declared) {
    const std::size_t room =
        block.size() > headerSize ? (block.size() - headerSize) / entrySize : 0;
    return std::min(room, declared);
}

}  // namespace

template <typename V>
std::unique_ptr<SubnodeTree> SubnodeLoader<V>::Load(std::uint64_t bidSub, int depth) {
    if (bidSub == 0 || depth >= kMaxSubnodeDepth || budget_ == 0) return nullptr;
    const ByteBuffer block = ReadCharged(bidSub);
    const SubnodeBlockHeader header = ParseHeader(common::Bytes(block));
    if (block.empty() || header.btype != kBtypeSubnodeTree) return nullptr;

    auto tree = std::make_unique<SubnodeTree>();
    std::copy_n(block.begin(), std::min(block.size(), V::kInternalHeaderSize),
                tree->header.begin());
    if (header.cLevel != 0) {
        ReadIndexBlock(block, *tree, depth);
    } else {
        ReadLeafBlock(block, *tree, depth);
    }
    tree->Seal();
    return tree;
}

template <typename V>
void SubnodeLoader<V>::ReadIndexBlock(const ByteBuffer& block, SubnodeTree& tree, int depth) {
    constexpr std::size_t kW = V::kIdWidth;
    const common::Bytes bytes(block);
    const std::size_t count =
        FittingEntries(bytes, V::kInternalHeaderSize, 2 * kW, ParseHeader(bytes).cEnt);
    for (std::size_t i = 0; i < count && budget_ > 0; ++i) {
        const std::size_t at = V::kInternalHeaderSize + i * 2 * kW;
        const SubnodeIndexEntry entry{common::LoadWidth(bytes, at, kW),
                                      common::LoadWidth(bytes, at + kW, kW)};
        tree.indexEntries.push_back(entry);
        --budget_;
        const ByteBuffer child = ReadCharged(entry.bid);
        if (child.empty() || depth + 1 >= kMaxSubnodeDepth) continue;
        // The child's btype is not tested; its level decides how it is read.
        if (ParseHeader(common::Bytes(child)).cLevel != 0) {
            ReadIndexBlock(child, tree, depth + 1);
        } else {
            ReadLeafBlock(child, tree, depth + 1);
        }
    }
}

template <typename V>
void SubnodeLoader<V>::ReadLeafBlock(const ByteBuffer& block, SubnodeTree& tree, int depth) {
    constexpr std::size_t kW = V::kIdWidth;
    const common::Bytes bytes(block);
    const std::size_t count =
        FittingEntries(bytes, V::kInternalHeaderSize, 3 * kW, ParseHeader(bytes).cEnt);
    for (std::size_t i = 0; i < count && budget_ > 0; ++i) {
        const std::size_t at = V::kInternalHeaderSize + i * 3 * kW;
        SubnodeEntry entry;
        entry.nid = common::LoadWidth(bytes, at, kW);
        entry.bidData = common::LoadWidth(bytes, at + kW, kW);
        entry.bidSub = common::LoadWidth(bytes, at + 2 * kW, kW);
        --budget_;
        if (entry.bidSub != 0) entry.nested = Load(entry.bidSub, depth + 1);
        tree.entries.push_back(std::move(entry));
    }
}

template <typename V>
ByteBuffer SubnodeLoader<V>::ReadCharged(std::uint64_t bid) {
    if (byteBudget_ == 0) return {};
    ByteBuffer block = reader_.ReadBlock(bid);
    byteBudget_ -= std::min<std::uint64_t>(byteBudget_, block.size());
    return block;
}

CORVEX_INSTANTIATE_CLASS(SubnodeLoader)

}  // namespace corvex
