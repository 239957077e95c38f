#include "engine/storage/heap_on_node.h"

#include "engine/storage/engine_message.h"
#include "engine/storage/heap_id.h"
#include "engine/storage/instantiate.h"

namespace corvex {

template <typename V>
std::optional<ByteBuffer> HeapOnNode<V>::FindHid(std::uint32_t hid) const {
    const std::uint32_t blockIndex = HidBlockIndex<V>(hid);
    // A block index past the heap names nothing that could be shown; like an
    // empty heap it quietly gives no value.
    if (blockIndex >= blocks_.size()) return std::nullopt;
    std::optional<ByteBuffer> value = blocks_[blockIndex].Allocation(HidIndex<V>(hid));
    if (!value && V::kReportsMissingHeapAllocation) {
        ShowEngineMessage(kMissingAllocationText, kMissingAllocationCaption);
    }
    return value;
}

template <typename V>
HeapValue ResolveHnid(const HeapOnNode<V>& heap, std::uint32_t hnid) {
    if (hnid == 0) return {};
    if (IsSubnodeHnid(hnid)) {
        ByteBuffer nid(4);
        common::StoreLE32(nid.data(), hnid);
        return {std::move(nid), true};
    }
    return {heap.FindHid(hnid).value_or(ByteBuffer{}), false};
}

CORVEX_INSTANTIATE_CLASS(HeapOnNode)

#define CORVEX_INSTANTIATE_RESOLVE(V) \
    template HeapValue ResolveHnid<V>(const HeapOnNode<V>&, std::uint32_t);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_RESOLVE)

}  // namespace corvex
