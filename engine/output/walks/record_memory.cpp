#include "engine/output/walks/record_memory.h"

#include <algorithm>

namespace corvex {
namespace {

// Values are read in place as integers, times and doubles: each starts on an
// 8-byte boundary.
constexpr std::size_t kValueAlign = 8;

std::size_t AlignedSize(std::size_t size) {
    return (size + kValueAlign - 1) / kValueAlign * kValueAlign;
}

// Where the parts of a packed map lie in its allocation.
struct PackedPropMapLayout {
    explicit PackedPropMapLayout(std::span<const PropSource> props) {
        itemsAt = AlignedSize(sizeof(ExportedPropMap));
        propsAt = AlignedSize(itemsAt + props.size() * sizeof(ExportedProp*));
        bytesAt = AlignedSize(propsAt + props.size() * sizeof(ExportedProp));
        total = bytesAt;
        for (const PropSource& prop : props) total += AlignedSize(prop.bytes.size());
    }
    std::size_t itemsAt = 0;
    std::size_t propsAt = 0;
    std::size_t bytesAt = 0;
    std::size_t total = 0;
};

template <typename List, typename FreeItem>
void FreeItems(List& list, FreeItem freeItem) {
    for (std::uint32_t i = 0; i < list.count; ++i) freeItem(list.items[i]);
    std::free(list.items);
    list.items = nullptr;
    list.count = list.capacity = 0;
}

// Frees a map, and with a ledger first removes the value files its props name.
void FreeRecordMap(ExportedPropMap* map, ValueFileLedger* valueFiles) {
    if (map != nullptr && valueFiles != nullptr) {
        for (std::uint32_t i = 0; i < map->count; ++i) {
            const ExportedProp* prop = map->items[i];
            if (prop != nullptr && prop->inFile == 1) valueFiles->Remove(NamedValueFilePath(*prop));
        }
    }
    FreePropMap(map);
}

// An attachment's embedded message goes with it.
void FreeAttachmentRow(AttachmentRow* row, ValueFileLedger* valueFiles) {
    if (row == nullptr) return;
    FreeRecordMap(row->tableRow, valueFiles);
    FreeRecordMap(row->object, valueFiles);
    FreeMailEntry(row->embedded, valueFiles);
    delete row;
}

void FreeRecipientRow(RecipientRow* row, ValueFileLedger* valueFiles) {
    if (row == nullptr) return;
    FreeRecordMap(row->tableRow, valueFiles);
    delete row;
}

void FreeFolderEntry(FolderEntry* entry, ValueFileLedger* valueFiles) {
    if (entry == nullptr) return;
    FreeRecordMap(entry->props, valueFiles);
    FreeFolderList(entry->children, valueFiles);
    FreeMailList(entry->mails, valueFiles);
    delete entry;
}

}  // namespace

void FreeMailEntry(MailEntry* entry, ValueFileLedger* valueFiles) {
    if (entry == nullptr) return;
    FreeRecordMap(entry->props, valueFiles);
    if (entry->attachments != nullptr) {
        FreeItems(*entry->attachments,
                  [valueFiles](AttachmentRow* row) { FreeAttachmentRow(row, valueFiles); });
    }
    if (entry->recipients != nullptr) {
        FreeItems(*entry->recipients,
                  [valueFiles](RecipientRow* row) { FreeRecipientRow(row, valueFiles); });
    }
    delete entry->attachments;
    delete entry->recipients;
    delete entry;
}

ExportedPropMap* NewPropMap(std::span<const PropSource> props) {
    const PackedPropMapLayout layout(props);
    auto* block = static_cast<std::uint8_t*>(::operator new(layout.total));
    auto* map = new (block) ExportedPropMap{};
    map->items = reinterpret_cast<ExportedProp**>(block + layout.itemsAt);
    map->count = map->capacity = static_cast<std::uint32_t>(props.size());
    auto* prop = reinterpret_cast<ExportedProp*>(block + layout.propsAt);
    std::uint8_t* bytes = block + layout.bytesAt;
    for (std::size_t i = 0; i < props.size(); ++i, ++prop) {
        const PropSource& source = props[i];
        const auto size = static_cast<std::uint32_t>(source.bytes.size());
        new (prop) ExportedProp{source.id, source.type, source.inFile ? 1 : 0, size,
                                size > 0 ? bytes : nullptr};
        std::copy(source.bytes.begin(), source.bytes.end(), bytes);
        bytes += AlignedSize(size);
        map->items[i] = prop;
    }
    return map;
}

void FreePropMap(ExportedPropMap* map) {
    ::operator delete(map);
}

FolderList* NewFolderList() {
    return new FolderList{};
}

FolderEntry* NewFolderEntry(std::uint64_t nid, ExportedPropMap* props) {
    return new FolderEntry{props, NewFolderList(), NewMailList(), static_cast<std::uint32_t>(nid),
                           static_cast<std::uint32_t>(nid >> 32)};
}

void FreeFolderList(FolderList* list, ValueFileLedger* valueFiles) {
    // Folder trees are bounded in depth by the walk that builds them.
    if (list == nullptr) return;
    FreeItems(*list, [valueFiles](FolderEntry* entry) { FreeFolderEntry(entry, valueFiles); });
    delete list;
}

MailList* NewMailList() {
    return new MailList{};
}

void ClearMailList(MailList* list, ValueFileLedger* valueFiles) {
    if (list == nullptr) return;
    delete static_cast<MailCursor*>(list->cursor);
    list->cursor = nullptr;
    list->lastBatchCount = 0;
    FreeItems(list->entries, [valueFiles](MailEntry* entry) { FreeMailEntry(entry, valueFiles); });
}

void FreeMailList(MailList* list, ValueFileLedger* valueFiles) {
    if (list == nullptr) return;
    ClearMailList(list, valueFiles);
    delete list;
}

MailEntry* NewMailEntry(ExportedPropMap* props) {
    return new MailEntry{props, new AttachmentRowList{}, new RecipientRowList{}};
}

}  // namespace corvex
