#include "engine/storage/block_reader.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "common/little_endian.h"
#include "engine/storage/block_codec.h"
#include "engine/storage/engine_message.h"
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

// The entry keeps the trailer of its block's last read. Two threads of a
// message enumeration may read one block at once (a damaged store can share
// a block between messages), so the bytes are stored as atomics: both write
// the same trailer, and neither write is a data race.
template <typename V>
[[maybe_unused]] void KeepTrailer(common::Bytes trailer, const BbtEntry<V>& entry) {
    for (std::size_t i = 0; i < trailer.size(); ++i)
        std::atomic_ref<std::uint8_t>(entry.trailer[i])
            .store(trailer[i], std::memory_order_relaxed);
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
        const common::Bytes trailer(raw.data() + raw.size() - V::kBlockTrailerSize,
                                    V::kBlockTrailerSize);
        KeepTrailer(trailer, entry);
        const auto cbInflated = common::LoadLE<std::uint16_t>(trailer, V::kTrailerCbInflatedOffset);
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

namespace {

// Appends `count` zeros, never past `limit` bytes in all.
void AppendZeros(ByteBuffer& buffer, std::uint64_t count, std::uint64_t limit) {
    const std::uint64_t room = limit > buffer.size() ? limit - buffer.size() : 0;
    buffer.resize(buffer.size() + static_cast<std::size_t>(std::min(count, room)));
}

// A value filled up to the cap with more of it still to come loses its tail;
// the user is told, once per call, rather than shown a quietly shorter value.
template <typename V>
void ReportValueCut(std::uint64_t declared, std::uint64_t kept) {
    ShowEngineMessage("A value of " + std::to_string(declared) +
                          " bytes is more than the engine reads from a file of this size; only "
                          "its first " +
                          std::to_string(kept) + " bytes are kept",
                      V::kLibraryName, "value cut");
}

}  // namespace

// Every child of a data tree but the last holds the same number of bytes (a
// full block, or a full subtree of them), so a missing child in the middle
// stands for zeros of its siblings' size: the children after it stay at their
// offsets. Children missing before any sibling was read wait for the first
// one that tells the size; a missing last child leaves the rest of the
// declared total as trailing zeros.
template <typename V>
ByteBuffer BlockReader<V>::AssembleDataTree(const DataTreeBlock& tree, int depth) const {
    if (depth >= kMaxDataTreeDepth) return {};
    const std::uint64_t lcbTotal = std::min<std::uint64_t>(tree.lcbTotal, MaxValueSize());

    ByteBuffer result;
    std::uint64_t siblingSize = 0;
    std::uint64_t missingBeforeFirst = 0;  // not yet placed: their size is not known yet
    bool lastMissing = false;
    for (std::size_t i = 0; i < tree.children.size() && result.size() < lcbTotal; ++i) {
        const bool last = i + 1 == tree.children.size();
        const ByteBuffer child = ReadEntry(Lookup(tree.children[i]), depth + 1);
        if (child.empty()) {
            if (last)
                lastMissing = true;
            else if (siblingSize != 0)
                AppendZeros(result, siblingSize, lcbTotal);
            else
                ++missingBeforeFirst;
            continue;
        }
        if (siblingSize == 0 && missingBeforeFirst != 0) {
            // Ahead of the last child, the missing ones share what it leaves of
            // the total, each no more than a block can hold.
            const std::uint64_t before =
                last ? std::min(lcbTotal - std::min<std::uint64_t>(lcbTotal, child.size()),
                                missingBeforeFirst * kMissingChildPadding)
                     : missingBeforeFirst * child.size();
            AppendZeros(result, before, lcbTotal);
            missingBeforeFirst = 0;
        }
        if (siblingSize == 0 && !last) siblingSize = child.size();
        const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(
            child.size(), lcbTotal - std::min<std::uint64_t>(lcbTotal, result.size())));
        result.insert(result.end(), child.begin(),
                      child.begin() + static_cast<std::ptrdiff_t>(take));
    }
    // Children whose zeros have no place yet leave their share of the declared
    // size as trailing zeros, but a declared size far beyond what the tree
    // could hold is not honoured.
    const std::uint64_t unplaced = missingBeforeFirst + (lastMissing ? 1 : 0);
    AppendZeros(result, unplaced * kMissingChildPadding, lcbTotal);
    // Told at the top of the tree, which declares the whole value's size.
    if (depth == 0 && tree.lcbTotal > lcbTotal && result.size() >= lcbTotal)
        ReportValueCut<V>(tree.lcbTotal, lcbTotal);
    return result;
}

CORVEX_INSTANTIATE_CLASS(BlockReader)

#define CORVEX_INSTANTIATE_PARSE_DATA_TREE(V) \
    template std::optional<DataTreeBlock> ParseDataTree<V>(std::uint64_t, common::Bytes);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_PARSE_DATA_TREE)

}  // namespace corvex
