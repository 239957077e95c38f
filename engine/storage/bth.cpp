#include "engine/storage/bth.h"

#include "engine/storage/heap_id.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {
constexpr std::size_t kIndexHnidSize = 4;
}  // namespace

template <typename V>
ByteBuffer ReadHnidArray(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                         std::uint32_t hnid) {
    if (hnid == 0) return {};
    if (IsSubnodeHnid(hnid)) return subnodes.ReadData(hnid);
    return heap.FindHid(hnid).value_or(ByteBuffer{});
}

template <typename V>
ByteBuffer CollectBthRecords(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                             const BthHeader& header) {
    if (header.hidRoot == 0) return {};
    ByteBuffer root = ReadHnidArray(heap, subnodes, header.hidRoot);
    if (header.bIdxLevels == 0) return root;

    const std::size_t recordSize = std::size_t{header.cbKey} + kIndexHnidSize;
    const std::size_t count = root.size() / recordSize;
    ByteBuffer records;
    for (std::size_t i = count; i-- > 0;) {
        const auto hnid =
            common::LoadLE<std::uint32_t>(common::Bytes(root), i * recordSize + header.cbKey);
        const ByteBuffer leaf = ReadHnidArray(heap, subnodes, hnid);
        records.insert(records.end(), leaf.begin(), leaf.end());
    }
    return records;
}

#define CORVEX_INSTANTIATE_BTH(V)                                                        \
    template ByteBuffer ReadHnidArray<V>(const HeapOnNode<V>&, const SubnodeSource&,     \
                                         std::uint32_t);                                 \
    template ByteBuffer CollectBthRecords<V>(const HeapOnNode<V>&, const SubnodeSource&, \
                                             const BthHeader&);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_BTH)

}  // namespace corvex
