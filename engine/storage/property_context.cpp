#include "engine/storage/property_context.h"

#include "common/property_ids.h"
#include "engine/storage/bth.h"
#include "engine/storage/heap_header.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

constexpr std::size_t kPcRecordSize = 8;

// Types whose 4-byte value is stored in place of the HNID.
bool IsInlineType(std::uint16_t type) {
    return type == common::ptype::kShort || type == common::ptype::kLong ||
           type == common::ptype::kFloat || type == common::ptype::kBoolean;
}

template <typename V>
PropValue ReadRecord(const HeapOnNode<V>& heap, const SubnodeSource& owner, common::Bytes record) {
    PropValue value;
    value.id = common::LoadLE<std::uint16_t>(record, 0);
    value.type = common::LoadLE<std::uint16_t>(record, 2);
    const std::uint32_t hnid = common::LoadLE<std::uint32_t>(record, 4);
    if (IsInlineType(value.type)) {
        value.bytes.assign(record.begin() + 4, record.begin() + 8);
    } else {
        HeapValue resolved = ResolveHnid(heap, hnid);
        value.bytes = std::move(resolved.bytes);
        value.inSubnode = resolved.inSubnode;
    }
    value.owner = &owner.Tree();
    return value;
}

}  // namespace

template <typename V>
void ReadPropertyContext(const HeapOnNode<V>& heap, const SubnodeSource& owner, PropertyMap& out) {
    const HeapHeader heapHeader = HeapHeader::Parse(heap.FirstBlock());
    if (heapHeader.bClientSig != kClientSigPropertyContext) return;
    const BthHeader bth = BthHeader::Parse(ReadHnidArray(heap, owner, heapHeader.hidUserRoot));
    if (bth.bIdxLevels != 0 || bth.hidRoot == 0) return;

    const ByteBuffer records = ReadHnidArray(heap, owner, bth.hidRoot);
    const std::size_t count = records.size() / kPcRecordSize;
    for (std::size_t i = 0; i < count; ++i) {
        out.Add(ReadRecord(heap, owner,
                           common::Bytes(records).subspan(i * kPcRecordSize, kPcRecordSize)));
    }
}

#define CORVEX_INSTANTIATE_PC(V) \
    template void ReadPropertyContext<V>(const HeapOnNode<V>&, const SubnodeSource&, PropertyMap&);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_PC)

}  // namespace corvex
