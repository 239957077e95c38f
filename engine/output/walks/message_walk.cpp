#include "engine/output/walks/message_walk.h"

#include <algorithm>
#include <vector>

#include "engine/output/walks/ordered_two_way_build.h"
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

// Builds the records of messages [begin, begin + count) on two threads and
// appends them in order; a stop keeps the records of the messages before it.
// Returns how many were appended.
template <typename V>
std::size_t MessageWalk<V>::AppendRun(std::uint32_t folder, MailList& list, std::size_t begin,
                                      std::size_t count) const {
    const auto messages = context_.Messages(folder);
    const std::vector<MailEntry*> entries = BuildInOrderTwoWay<MailEntry>(
        count,
        [&](std::size_t i) {
            return context_.Stopped() ? nullptr : BuildEntry(*messages[begin + i].second);
        },
        [&](MailEntry* entry) { FreeMailEntry(entry, &context_.ValueFiles()); });
    for (MailEntry* entry : entries) AppendToList(list.entries, entry);
    return entries.size();
}

template <typename V>
void MessageWalk<V>::Enumerate(std::uint32_t folder, MailList& list, std::uint32_t first,
                               std::uint32_t maximum) const {
    ClearMailList(&list, &context_.ValueFiles());
    // Positions are counted in full: a folder of more than 65535 messages is listed whole.
    const std::size_t total = context_.Messages(folder).size();
    const std::size_t begin = std::min<std::size_t>(first, total);
    const std::size_t count =
        maximum != 0 ? std::min<std::size_t>(maximum, total - begin) : total - begin;
    if (count == 0) return;
    AppendRun(folder, list, begin, count);
}

template <typename V>
void MessageWalk<V>::Continue(std::uint32_t folder, MailList& list) const {
    const std::size_t total = context_.Messages(folder).size();
    if (list.cursor == nullptr) list.cursor = new MailCursor{};
    auto& cursor = *static_cast<MailCursor*>(list.cursor);
    const std::uint32_t batch = list.batchCount;
    const std::size_t begin = std::min<std::size_t>(cursor.position, total);
    cursor.position =
        begin + AppendRun(folder, list, begin, std::min<std::size_t>(batch, total - begin));
    list.lastBatchCount = batch;
}

CORVEX_INSTANTIATE_CLASS(MessageWalk)

}  // namespace corvex
