#include "tools/storewriter/property_context_writer.h"

#include <algorithm>
#include <map>

#include "common/little_endian.h"
#include "tools/storewriter/bth_writer.h"

namespace velmora::storewriter {
namespace {

constexpr BthShape kPropertyBth{2, 6};

std::uint32_t InlineValue(const PropertyValue& property) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < property.bytes.size() && i < 4; ++i) {
        value |= std::uint32_t{property.bytes[i]} << (8 * i);
    }
    return value;
}

}  // namespace

NodeContent BuildPropertyContext(const VariantLayout& layout,
                                 std::span<const PropertyValue> properties, SubnodeNids& nids) {
    std::map<std::uint16_t, const PropertyValue*> byId;
    for (const PropertyValue& property : properties) byId.emplace(property.id, &property);
    NodeContent content;
    HeapWriter heap(layout, kClientSigPropertyContext);
    std::vector<std::uint8_t> records(byId.size() * kPropertyBth.RecordSize());
    std::uint8_t* record = records.data();
    for (const auto& [id, property] : byId) {
        const std::uint32_t hnid =
            IsInlineInPropertyContext(property->type)
                ? InlineValue(*property)
                : PlaceValue(heap, property->bytes, nids, content.subnodes, layout.maxBlockData);
        common::StoreLE16(record, id);
        common::StoreLE16(record + 2, property->type);
        common::StoreLE32(record + 4, hnid);
        record += kPropertyBth.RecordSize();
    }
    heap.SetUserRoot(WriteBth(heap, kPropertyBth, records));
    content.blocks = heap.Finish();
    return content;
}

}  // namespace velmora::storewriter
