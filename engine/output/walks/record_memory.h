// Allocation and release of the records handed to the viewer. Everything is
// allocated here and freed here, so both sides of the boundary agree on one
// allocator and one layout.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <span>
#include <vector>

#include "engine/interface/corvex_engine.h"
#include "engine/output/files/value_file.h"
#include "engine/output/walks/record_arena.h"

namespace corvex {

// Appends to any of the pointer lists of the shared header (items, count, capacity).
template <typename List, typename Item>
void AppendToList(List& list, Item* item) {
    if (list.count == list.capacity) {
        const std::uint32_t capacity = list.capacity == 0 ? 8 : list.capacity * 2;
        auto* grown = static_cast<Item**>(std::realloc(list.items, sizeof(Item*) * capacity));
        if (grown == nullptr) throw std::bad_alloc();
        list.items = grown;
        list.capacity = capacity;
    }
    list.items[list.count++] = item;
}

// One property as it goes into a new map: its bytes are copied.
struct PropSource {
    std::uint16_t id = 0;
    std::uint16_t type = 0;
    bool inFile = false;
    std::span<const std::uint8_t> bytes;
};

// A map holding copies of `props`, in their order. The map, its item array,
// its props and their bytes live in one allocation (a folder of 250,000
// messages holds millions of props), so a map is never grown afterwards.
ExportedPropMap* NewPropMap(std::span<const PropSource> props = {});
void FreePropMap(ExportedPropMap* map);

// Freeing a list frees every record below it. A value file belongs to the
// record that names it: given the ledger of the session that named them, the
// values of the freed records are forgotten and their files, where they were
// written, removed. Without one (records a test built) they stay for their
// session to remove when it ends.
FolderList* NewFolderList();
// Takes ownership of `props`.
FolderEntry* NewFolderEntry(std::uint64_t nid, ExportedPropMap* props);
void FreeFolderList(FolderList* list, ValueFileLedger* valueFiles);

MailList* NewMailList();
void ClearMailList(MailList* list, ValueFileLedger* valueFiles);
void FreeMailList(MailList* list, ValueFileLedger* valueFiles);

// One message as it goes into a new entry: its props, and its attachment and
// recipient rows with theirs.
struct MailSource {
    struct Attachment {
        std::span<const PropSource> row;
        std::span<const PropSource> object;
        MailEntry* embedded = nullptr;  // taken over by the new entry
    };
    std::span<const PropSource> props;
    std::vector<Attachment> attachments;
    std::vector<std::span<const PropSource>> recipients;
};

// A message's entry, its two lists, its rows and all their maps, in one
// block carved from the session's record arena: a folder of 250,000 messages
// would otherwise hold a dozen allocations a message, each with malloc's own
// bookkeeping, and free them one by one. The lists are full (capacity =
// count) and never grown.
MailEntry* NewMailEntry(const MailSource& source, RecordArena::Carver& carver);
// Frees one message's records, attachments and recipients with it, back to
// the arena it was carved from.
void FreeMailEntry(MailEntry* entry, ValueFileLedger* valueFiles);

// Where the continue-enumeration export goes on in a folder's messages.
struct MailCursor {
    std::uint64_t position = 0;
};

}  // namespace corvex
