#include "engine/interface/record_memory.h"

namespace corvex {
namespace {

template <typename List, typename FreeItem>
void FreeItems(List& list, FreeItem freeItem) {
    for (std::uint32_t i = 0; i < list.count; ++i) freeItem(list.items[i]);
    std::free(list.items);
    list.items = nullptr;
    list.count = list.capacity = 0;
}

void FreeProp(ExportedProp* prop) {
    if (prop == nullptr) return;
    delete[] prop->bytes;
    delete prop;
}

void FreeAttachmentRow(AttachmentRow* row) {
    if (row == nullptr) return;
    FreePropMap(row->tableRow);
    FreePropMap(row->object);
    delete row;
}

void FreeRecipientRow(RecipientRow* row) {
    if (row == nullptr) return;
    FreePropMap(row->tableRow);
    delete row;
}

void FreeMailEntry(MailEntry* entry) {
    if (entry == nullptr) return;
    FreePropMap(entry->props);
    if (entry->attachments != nullptr) FreeItems(*entry->attachments, FreeAttachmentRow);
    if (entry->recipients != nullptr) FreeItems(*entry->recipients, FreeRecipientRow);
    delete entry->attachments;
    delete entry->recipients;
    delete entry;
}

void FreeFolderEntry(FolderEntry* entry) {
    if (entry == nullptr) return;
    FreePropMap(entry->props);
    FreeFolderList(entry->children);
    FreeMailList(entry->mails);
    delete entry;
}

}  // namespace

ExportedPropMap* NewPropMap() { return new ExportedPropMap{}; }

void FreePropMap(ExportedPropMap* map) {
    if (map == nullptr) return;
    FreeItems(*map, FreeProp);
    delete map;
}

FolderList* NewFolderList() { return new FolderList{}; }

FolderEntry* NewFolderEntry(std::uint64_t nid, ExportedPropMap* props) {
    return new FolderEntry{props, NewFolderList(), NewMailList(), static_cast<std::uint32_t>(nid),
                           static_cast<std::uint32_t>(nid >> 32)};
}

void FreeFolderList(FolderList* list) {
    // Folder trees are bounded in depth by the walk that builds them.
    if (list == nullptr) return;
    FreeItems(*list, FreeFolderEntry);
    delete list;
}

MailList* NewMailList() { return new MailList{}; }

void ClearMailList(MailList* list) {
    if (list == nullptr) return;
    delete static_cast<MailCursor*>(list->cursor);
    list->cursor = nullptr;
    list->lastBatchCount = 0;
    FreeItems(list->entries, FreeMailEntry);
}

void FreeMailList(MailList* list) {
    if (list == nullptr) return;
    ClearMailList(list);
    delete list;
}

MailEntry* NewMailEntry(ExportedPropMap* props) {
    return new MailEntry{props, new AttachmentRowList{}, new RecipientRowList{}};
}

}  // namespace corvex
