#include "engine/output/walks/message_walk.h"

#include <algorithm>
#include <vector>

#include "engine/output/walks/ordered_two_way_build.h"
#include "engine/output/walks/record_memory.h"
#include "engine/storage/instantiate.h"

namespace corvex {

template <typename V>
MailEntry* MessageWalk<V>::BuildEntry(const NbtEntry& message, RecordArena::Carver& carver) const {
    return BuildEntry(LoadMessage(context_.Contexts(), message), carver);
}

// An embedded message becomes a record of the same kind below its
// attachment; the loader has already bounded how deep they go.
template <typename V>
MailEntry* MessageWalk<V>::BuildEntry(const LoadedMessage& loaded,
                                      RecordArena::Carver& carver) const {
    const ExportedPropSources props = context_.SourcesWithValueFiles(loaded.properties);
    // Table cells cross as held; only the attachment object's out-of-line
    // values (its content among them) become value files. Reserved, so that
    // the sources stay where the message's source points at them.
    std::vector<ExportedPropSources> rows;
    rows.reserve(loaded.attachments.size() * 2 + loaded.recipients.size());
    MailSource source{props.Props(), {}, {}};
    source.attachments.reserve(loaded.attachments.size());
    for (const AttachmentRecord& attachment : loaded.attachments) {
        const auto& row = rows.emplace_back(attachment.row, nullptr);
        const auto& object = rows.emplace_back(context_.SourcesWithValueFiles(attachment.object));
        source.attachments.push_back(
            {row.Props(), object.Props(),
             attachment.embedded ? BuildEntry(*attachment.embedded, carver) : nullptr});
    }
    source.recipients.reserve(loaded.recipients.size());
    for (const TableRow& recipient : loaded.recipients)
        source.recipients.push_back(rows.emplace_back(recipient.cells, nullptr).Props());
    return NewMailEntry(source, carver);
}

// Builds the records of messages [begin, begin + count) on two threads and
// appends them in order; a stop keeps the records of the messages before it.
// Returns how many were appended.
template <typename V>
std::size_t MessageWalk<V>::AppendRun(std::uint32_t folder, MailList& list, std::size_t begin,
                                      std::size_t count) const {
    const auto messages = context_.Messages(folder);
    // One carver a thread: the two meet in the arena only when a slab is taken.
    RecordArena::Carver firstCarver(context_.Records()), secondCarver(context_.Records());
    const std::vector<MailEntry*> entries = BuildInOrderTwoWay<MailEntry>(
        count,
        [&](std::size_t i, std::size_t lane) {
            RecordArena::Carver& carver = lane == 0 ? firstCarver : secondCarver;
            return context_.Stopped() ? nullptr : BuildEntry(*messages[begin + i].second, carver);
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
    const RecordArena::Counters before = context_.Records().Count();
    const std::size_t built = AppendRun(folder, list, begin, count);
    EndOfRead(before, built, total - (begin + built));
}

template <typename V>
void MessageWalk<V>::Continue(std::uint32_t folder, MailList& list) const {
    const std::size_t total = context_.Messages(folder).size();
    if (list.cursor == nullptr) list.cursor = new MailCursor{};
    auto& cursor = *static_cast<MailCursor*>(list.cursor);
    const std::uint32_t batch = list.batchCount;
    const std::size_t begin = std::min<std::size_t>(cursor.position, total);
    const RecordArena::Counters before = context_.Records().Count();
    const std::size_t built =
        AppendRun(folder, list, begin, std::min<std::size_t>(batch, total - begin));
    cursor.position = begin + built;
    list.lastBatchCount = batch;
    EndOfRead(before, built, total - cursor.position);
}

// A read that reached the folder's end or was stopped hands back the slabs it
// did not reuse. One that goes on keeps as many as the rest of the folder
// would take at this call's rate: the viewer empties a folder's list and then
// reads it again in batches, each carved from what the former records left,
// and the pool never holds more than what is still to be read. Emptying a
// list alone keeps them for the read that follows.
template <typename V>
void MessageWalk<V>::EndOfRead(const RecordArena::Counters& before, std::size_t built,
                               std::size_t remaining) const {
    RecordArena& records = context_.Records();
    if (remaining == 0 || built == 0 || context_.Stopped()) {
        records.ReleasePool();
        return;
    }
    const RecordArena::Counters after = records.Count();
    const std::uint64_t taken =
        after.slabsMade + after.slabsReused - before.slabsMade - before.slabsReused;
    // Two more for the slabs the carvers leave part-used between calls.
    records.ReleasePool(static_cast<std::size_t>((taken * remaining + built - 1) / built) + 2);
}

CORVEX_INSTANTIATE_CLASS(MessageWalk)

}  // namespace corvex
