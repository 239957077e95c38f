#include "engine/output/walks/message_walk.h"

#include "engine/output/walks/record_memory.h"
#include "engine/storage/instantiate.h"

namespace corvex {

template <typename V>
MailEntry* MessageWalk<V>::BuildEntry(const NbtEntry& message) const {
    return BuildEntry(LoadMessage(context_.Contexts(), message));
}

// An embedded message becomes a record of the same kind below its
// attachment; the loader has already bounded how deep they go.
template <typename V>
MailEntry* MessageWalk<V>::BuildEntry(const LoadedMessage& loaded) const {
    MailEntry* entry = NewMailEntry(context_.ExportWithValueFiles(loaded.properties));
    // Table cells cross as held; only the attachment object's out-of-line
    // values (its content among them) become value files.
    for (const AttachmentRecord& attachment : loaded.attachments) {
        AppendToList(
            *entry->attachments,
            new AttachmentRow{ExportProperties(attachment.row, nullptr),
                              context_.ExportWithValueFiles(attachment.object),
                              attachment.embedded ? BuildEntry(*attachment.embedded) : nullptr});
    }
    for (const TableRow& recipient : loaded.recipients) {
        AppendToList(*entry->recipients,
                     new RecipientRow{ExportProperties(recipient.cells, nullptr)});
    }
    return entry;
}

template <typename V>
void MessageWalk<V>::Enumerate(std::uint32_t folder, MailList& list, std::uint32_t first,
                               std::uint32_t maximum) const {
    ClearMailList(&list, &context_.ValueFiles());
    const auto messages = context_.Messages(folder);
    std::uint32_t appended = 0;
    // Positions are counted in full: a folder of more than 65535 messages is listed whole.
    for (std::size_t i = first; i < messages.size(); ++i) {
        if (context_.Stopped()) return;
        AppendToList(list.entries, BuildEntry(*messages[i].second));
        if (maximum != 0 && ++appended == maximum) return;
    }
}

template <typename V>
void MessageWalk<V>::Continue(std::uint32_t folder, MailList& list) const {
    const auto messages = context_.Messages(folder);
    if (list.cursor == nullptr) list.cursor = new MailCursor{};
    auto& cursor = *static_cast<MailCursor*>(list.cursor);
    const std::uint32_t batch = list.batchCount;
    for (std::uint32_t k = 0; k < batch && cursor.position < messages.size(); ++k) {
        if (context_.Stopped()) break;
        AppendToList(list.entries, BuildEntry(*messages[cursor.position].second));
        ++cursor.position;
    }
    list.lastBatchCount = batch;
}

CORVEX_INSTANTIATE_CLASS(MessageWalk)

}  // namespace corvex
