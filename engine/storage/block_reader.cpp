#include "engine/storage/block_reader.h"

#include <algorithm>

#include "common/little_endian.h"
#include "engine/storage/block_codec.h"
#include "engine/storage/inflate_block.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

// The data tree header: btype, cLevel, cEnt (2 bytes), lcbTotal (4 bytes),
// followed by the children's BIDs.
constexpr std::size_t kDataTreeCountOffset = 2;
constexpr std::size_t kDataTreeTotalOffset = 4;
constexpr std::size_t kDataTreeHeaderSize = 8;

[[maybe_unused]] std::size_t RoundUp(std::size_t value, std::size_t align) {
    return (value + align - 1) / align * align;
}

}  // namespace

template <typename V>
std::optional<DataTreeBlock> ParseDataTree(std::uint64_t bid, common::Bytes block) {
    if ((bid & kBidInternalBit) == 0 || block.empty() || block[0] != kBtypeDataTree)
        return std::nullopt;
    const std::size_t fitting =
        block.size() > kDataTreeHeaderSize ? (block.size() - kDataTreeHeaderSize) / V::kIdWidth : 0;
    const std::size_t count =
        std::min<std::size_t>(common::LoadLE<std::uint16_t>(block, kDataTreeCountOffset), fitting);
    DataTreeBlock tree;
    tree.lcbTotal = common::LoadLE<std::uint32_t>(block, kDataTreeTotalOffset);
    tree.children.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        tree.children.push_back(
            common::LoadWidth(block, kDataTreeHeaderSize + i * V::kIdWidth, V::kIdWidth));
    return tree;
}

template <typename V>
std::uint64_t BlockReader<V>::MaxValueSize() const {
    // Compression lets a value outgrow its file, but not by more than this.
    return kMinValueCap + kValueToFileRatio * file_.Size();
}

template <typename V>
ByteBuffer BlockReader<V>::ReadStored(const BbtEntry<V>& entry) const {
    if constexpr (V::kCompressed) {
        const std::size_t onDisk =
            RoundUp(std::size_t{entry.cb} + V::kBlockTrailerSize, V::kBlockAlign);
        ByteBuffer raw = file_.ReadAt(entry.ib, onDisk);
        std::copy(raw.end() - V::kBlockTrailerSize, raw.end(), entry.trailer.begin());
        const auto cbInflated = common::LoadLE<std::uint16_t>(common::Bytes(entry.trailer),
                                                              V::kTrailerCbInflatedOffset);
        if (cbInflated == entry.cb) {
            raw.resize(entry.cb);
            return raw;
        }
        ByteBuffer inflated(cbInflated);
        InflateBlock(raw.data(), entry.cb, inflated.data(), inflated.size());
        return inflated;
    } else {
        return file_.ReadAt(entry.ib, entry.cb);
    }
}

template <typename V>
ByteBuffer BlockReader<V>::ReadSingleBlock(const BbtEntry<V>* entry) const {
    if (entry == nullptr) return {};
    ByteBuffer data = ReadStored(*entry);
    if ((entry->bid & kBidInternalBit) == 0)
        DecodeBlock(data.data(), data.size(), cryptMethod_, entry->bid);
    return data;
}

template <typename V>
ByteBuffer BlockReader<V>::ReadEntry(const BbtEntry<V>* entry, int depth) const {
    if (entry == nullptr) return {};
    ByteBuffer data = ReadSingleBlock(entry);
    if (const std::optional<DataTreeBlock> tree = ParseDataTree<V>(entry->bid, data))
        return AssembleDataTree(*tree, depth);
    return data;
}

template <typename V>
ByteBuffer BlockReader<V>::AssembleDataTree(const DataTreeBlock& tree, int depth) const {
    if (depth >= kMaxDataTreeDepth) return {};
    const std::uint64_t lcbTotal = std::min<std::uint64_t>(tree.lcbTotal, MaxValueSize());

    ByteBuffer result;
    std::uint64_t missingAllowance = 0;
    for (const std::uint64_t bid : tree.children) {
        if (result.size() >= lcbTotal) break;
        const ByteBuffer child = ReadEntry(Lookup(bid), depth + 1);
        if (child.empty()) missingAllowance += kMissingChildPadding;
        const std::size_t take = static_cast<std::size_t>(
            std::min<std::uint64_t>(child.size(), lcbTotal - result.size()));
        result.insert(result.end(), child.begin(),
                      child.begin() + static_cast<std::ptrdiff_t>(take));
    }
    // Missing children leave their share of the declared size as trailing zeros,
    // but a declared size far beyond what the tree could hold is not honoured.
    const std::uint64_t padded =
        std::min<std::uint64_t>(lcbTotal, result.size() + missingAllowance);
    result.resize(static_cast<std::size_t>(std::max<std::uint64_t>(padded, result.size())));
    return result;
}

CORVEX_INSTANTIATE_CLASS(BlockReader)

#define CORVEX_INSTANTIATE_PARSE_DATA_TREE(V) \
    template std::optional<DataTreeBlock> ParseDataTree<V>(std::uint64_t, common::Bytes);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_PARSE_DATA_TREE)

}  // namespace corvex
