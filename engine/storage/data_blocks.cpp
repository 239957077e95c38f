#include "engine/storage/data_blocks.h"

#include <algorithm>

#include "common/little_endian.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

constexpr std::size_t kXblockHeaderSize = 8;

template <typename V>
void AppendLeaves(const BlockReader<V>& reader, const BbtEntry<V>* entry, int depth,
                  std::vector<ByteBuffer>& out) {
    ByteBuffer data = reader.ReadSingleBlock(entry);
    const bool tree = entry != nullptr && (entry->bid & kBidInternalBit) != 0 && !data.empty() &&
                      data[0] == kBtypeDataTree;
    if (!tree) {
        out.push_back(std::move(data));
        return;
    }
    if (depth >= kMaxDataTreeDepth) return;
    const common::Bytes bytes(data);
    const std::size_t fitting =
        data.size() > kXblockHeaderSize ? (data.size() - kXblockHeaderSize) / V::kIdWidth : 0;
    const std::size_t count =
        std::min<std::size_t>(common::LoadLE<std::uint16_t>(bytes, 2), fitting);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t child =
            common::LoadWidth(bytes, kXblockHeaderSize + i * V::kIdWidth, V::kIdWidth);
        AppendLeaves(reader, reader.Lookup(child), depth + 1, out);
    }
}

}  // namespace

template <typename V>
std::vector<ByteBuffer> ReadDataBlocks(const BlockReader<V>& reader, std::uint64_t bid) {
    std::vector<ByteBuffer> blocks;
    const BbtEntry<V>* entry = reader.Lookup(bid);
    if (entry != nullptr) AppendLeaves(reader, entry, 0, blocks);
    return blocks;
}

template <typename V>
void ReadHeapBlocks(const BlockReader<V>& reader, std::uint64_t bid, HeapOnNode<V>& heap) {
    for (ByteBuffer& block : ReadDataBlocks(reader, bid)) heap.Append(HeapBlock(std::move(block)));
}

#define CORVEX_INSTANTIATE_DATA_BLOCKS(V)                                                     \
    template std::vector<ByteBuffer> ReadDataBlocks<V>(const BlockReader<V>&, std::uint64_t); \
    template void ReadHeapBlocks<V>(const BlockReader<V>&, std::uint64_t, HeapOnNode<V>&);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_DATA_BLOCKS)

}  // namespace corvex
