// A folder's messages handed to the viewer as MailEntry records, in the order
// the node B-tree gave them, all at once or in slices.
#pragma once

#include "engine/interface/corvex_engine.h"
#include "engine/output/walks/loaded_message.h"
#include "engine/output/walks/walk_context.h"

namespace corvex {

template <typename V>
class MessageWalk {
  public:
    explicit MessageWalk(const WalkContext<V>& context) : context_(context) {}

    // Empties `list` (forgetting the values of its records, removing the files read), then appends
    // the messages from position `first` on, at most `maximum` of them (0: no maximum). Skipped
    // messages are not read.
    void Enumerate(std::uint32_t folder, MailList& list, std::uint32_t first,
                   std::uint32_t maximum) const;
    // Appends the next batch of `list.batchCount` messages from the list's cursor.
    void Continue(std::uint32_t folder, MailList& list) const;

  private:
    MailEntry* BuildEntry(const NbtEntry& message, RecordArena::Carver& carver) const;
    MailEntry* BuildEntry(const LoadedMessage& loaded, RecordArena::Carver& carver) const;
    std::size_t AppendRun(std::uint32_t folder, MailList& list, std::size_t begin,
                          std::size_t count) const;
    void EndOfRead(const RecordArena::Counters& before, std::size_t built,
                   std::size_t remaining) const;

    const WalkContext<V>& context_;
};

}  // namespace corvex
