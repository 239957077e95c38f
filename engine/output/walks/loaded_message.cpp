#include "engine/output/walks/loaded_message.h"

#include "engine/storage/instantiate.h"
#include "engine/storage/robustness_limits.h"

namespace corvex {
namespace {

template <typename V>
LoadedMessage LoadMessageNode(const ContextReader<V>& contexts, PropertyMap properties,
                              const SubnodeTree& subnodes, int depth);

// The attachment object a row points at: a subnode of the message whose NID is
// the row's descriptor cell.
const SubnodeEntry* AttachmentNode(const SubnodeTree& subnodes, const PropertyMap& row) {
    const PropValue* descriptor = row.Find(common::prop::kRowId);
    if (descriptor == nullptr || descriptor->Size() < 4) return nullptr;
    return subnodes.Find(common::LoadLE<std::uint32_t>(descriptor->bytes, 0));
}

// The message an attachment object holds: its data property is an object
// whose first four bytes name a subnode of the attachment, and that subnode
// is a message with subnodes of its own (recipients, attachments).
const SubnodeEntry* EmbeddedMessageNode(const SubnodeEntry& attachment, const PropertyMap& object) {
    const PropValue* data = object.Find(common::prop::kAttachDataBin);
    if (data == nullptr || data->type != common::ptype::kObject || data->Size() < 4) return nullptr;
    const SubnodeEntry* message = attachment.Nested().Find(data->SubnodeNid());
    return message != &attachment ? message : nullptr;
}

template <typename V>
void LoadAttachments(const ContextReader<V>& contexts, const SubnodeTree& subnodes, int depth,
                     LoadedMessage& loaded) {
    const SubnodeEntry* table = subnodes.Find(common::kAttachmentTableNid);
    if (table == nullptr) return;
    loaded.hasAttachmentTable = true;
    for (TableRow& row : contexts.SubnodeTable(*table)) {
        AttachmentRecord& attachment = loaded.attachments.emplace_back();
        const SubnodeEntry* node = AttachmentNode(subnodes, row.cells);
        attachment.row = std::move(row.cells);
        if (node == nullptr) continue;
        attachment.object = contexts.SubnodeProperties(*node);
        const SubnodeEntry* embedded = EmbeddedMessageNode(*node, attachment.object);
        if (embedded == nullptr || depth + 1 >= kMaxEmbeddedMessageDepth) continue;
        attachment.embedded = std::make_unique<LoadedMessage>(LoadMessageNode(
            contexts, contexts.SubnodeProperties(*embedded), embedded->Nested(), depth + 1));
    }
}

template <typename V>
LoadedMessage LoadMessageNode(const ContextReader<V>& contexts, PropertyMap properties,
                              const SubnodeTree& subnodes, int depth) {
    LoadedMessage loaded;
    loaded.properties = std::move(properties);
    LoadAttachments(contexts, subnodes, depth, loaded);
    if (const SubnodeEntry* table = subnodes.Find(common::kRecipientTableNid)) {
        loaded.hasRecipientTable = true;
        loaded.recipients = contexts.SubnodeTable(*table);
    }
    return loaded;
}

}  // namespace

template <typename V>
LoadedMessage LoadMessage(const ContextReader<V>& contexts, const NbtEntry& message) {
    return LoadMessageNode(contexts, contexts.NodeProperties(message), message.Subnodes(), 0);
}

#define CORVEX_LOAD_MESSAGE(V) \
    template LoadedMessage LoadMessage(const ContextReader<V>&, const NbtEntry&);
CORVEX_FOR_EACH_VARIANT(CORVEX_LOAD_MESSAGE)

}  // namespace corvex
