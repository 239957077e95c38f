#include "engine/output/walks/loaded_message.h"

#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

// The attachment object a row points at: a subnode of the message whose NID is
// the row's descriptor cell.
template <typename V>
PropertyMap AttachmentObject(const ContextReader<V>& contexts, const NbtEntry& message,
                             const PropertyMap& row) {
    const PropValue* descriptor = row.Find(common::prop::kRowId);
    if (descriptor == nullptr || descriptor->Size() < 4) return {};
    const SubnodeEntry* object =
        message.Subnodes().Find(common::LoadLE<std::uint32_t>(descriptor->bytes, 0));
    return object != nullptr ? contexts.SubnodeProperties(*object) : PropertyMap{};
}

template <typename V>
void LoadAttachments(const ContextReader<V>& contexts, const NbtEntry& message,
                     LoadedMessage& loaded) {
    const SubnodeEntry* table = message.Subnodes().Find(common::kAttachmentTableNid);
    if (table == nullptr) return;
    loaded.hasAttachmentTable = true;
    for (TableRow& row : contexts.SubnodeTable(*table)) {
        PropertyMap object = AttachmentObject(contexts, message, row.cells);
        loaded.attachments.push_back({std::move(row.cells), std::move(object)});
    }
}

}  // namespace

template <typename V>
LoadedMessage LoadMessage(const ContextReader<V>& contexts, const NbtEntry& message) {
    LoadedMessage loaded;
    loaded.properties = contexts.NodeProperties(message);
    LoadAttachments(contexts, message, loaded);
    if (const SubnodeEntry* table = message.Subnodes().Find(common::kRecipientTableNid)) {
        loaded.hasRecipientTable = true;
        loaded.recipients = contexts.SubnodeTable(*table);
    }
    return loaded;
}

#define CORVEX_LOAD_MESSAGE(V) \
    template LoadedMessage LoadMessage(const ContextReader<V>&, const NbtEntry&);
CORVEX_FOR_EACH_VARIANT(CORVEX_LOAD_MESSAGE)

}  // namespace corvex
