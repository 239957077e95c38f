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

// Takes `size` bytes at the end of a block being laid out; returns where they lie.
std::size_t Take(std::size_t& total, std::size_t size) {
    const std::size_t at = total;
    total = AlignedSize(total + size);
    return at;
}

// Lays a packed map out at `at`; returns the bytes it took.
std::size_t PlacePropMap(std::uint8_t* at, std::span<const PropSource> props) {
    const PackedPropMapLayout layout(props);
    auto* map = new (at) ExportedPropMap{};
    map->items = reinterpret_cast<ExportedProp**>(at + layout.itemsAt);
    map->count = map->capacity = static_cast<std::uint32_t>(props.size());
    auto* prop = reinterpret_cast<ExportedProp*>(at + layout.propsAt);
    std::uint8_t* bytes = at + layout.bytesAt;
    for (std::size_t i = 0; i < props.size(); ++i, ++prop) {
        const PropSource& source = props[i];
        const auto size = static_cast<std::uint32_t>(source.bytes.size());
        new (prop) ExportedProp{source.id, source.type, source.inFile ? 1 : 0, size,
                                size > 0 ? bytes : nullptr};
        std::copy(source.bytes.begin(), source.bytes.end(), bytes);
        bytes += AlignedSize(size);
        map->items[i] = prop;
    }
    return layout.total;
}

// Where the parts of a message's block lie: the entry, its two lists, the
// rows, the lists' item arrays, then every map packed as one of its own (the
// message's, each attachment's row and object, each recipient's row).
struct MailBlockLayout {
    explicit MailBlockLayout(const MailSource& source) {
        const std::size_t attachments = source.attachments.size();
        const std::size_t recipients = source.recipients.size();
        Take(total, sizeof(MailEntry));
        attachmentListAt = Take(total, sizeof(AttachmentRowList));
        recipientListAt = Take(total, sizeof(RecipientRowList));
        attachmentRowsAt = Take(total, attachments * sizeof(AttachmentRow));
        recipientRowsAt = Take(total, recipients * sizeof(RecipientRow));
        attachmentItemsAt = Take(total, attachments * sizeof(AttachmentRow*));
        recipientItemsAt = Take(total, recipients * sizeof(RecipientRow*));
        mapsAt = total;
        total += PackedPropMapLayout(source.props).total;
        for (const MailSource::Attachment& attachment : source.attachments) {
            total += PackedPropMapLayout(attachment.row).total;
            total += PackedPropMapLayout(attachment.object).total;
        }
        for (const auto& recipient : source.recipients)
            total += PackedPropMapLayout(recipient).total;
    }
    std::size_t attachmentListAt = 0;
    std::size_t recipientListAt = 0;
    std::size_t attachmentRowsAt = 0;
    std::size_t recipientRowsAt = 0;
    std::size_t attachmentItemsAt = 0;
    std::size_t recipientItemsAt = 0;
    std::size_t mapsAt = 0;
    std::size_t total = 0;
};

template <typename List, typename FreeItem>
void FreeItems(List& list, FreeItem freeItem) {
    for (std::uint32_t i = 0; i < list.count; ++i) freeItem(list.items[i]);
    std::free(list.items);
    list.items = nullptr;
    list.count = list.capacity = 0;
}

// With a ledger, forgets the values a map's props name and removes their
// files where they were written.
void ForgetValues(const ExportedPropMap* map, ValueFileLedger* valueFiles) {
    if (map == nullptr || valueFiles == nullptr) return;
    for (std::uint32_t i = 0; i < map->count; ++i) {
        const ExportedProp* prop = map->items[i];
        if (prop != nullptr && prop->inFile == 1) valueFiles->Remove(NamedValueFilePath(*prop));
    }
}

void FreeRecordMap(ExportedPropMap* map, ValueFileLedger* valueFiles) {
    ForgetValues(map, valueFiles);
    FreePropMap(map);
}

void FreeFolderEntry(FolderEntry* entry, ValueFileLedger* valueFiles) {
    if (entry == nullptr) return;
    FreeRecordMap(entry->props, valueFiles);
    FreeFolderList(entry->children, valueFiles);
    FreeMailList(entry->mails, valueFiles);
    delete entry;
}

}  // namespace

MailEntry* NewMailEntry(const MailSource& source, RecordArena::Carver& carver) {
    const MailBlockLayout layout(source);
    auto* block = static_cast<std::uint8_t*>(carver.Carve(layout.total));
    const auto attachments = static_cast<std::uint32_t>(source.attachments.size());
    const auto recipients = static_cast<std::uint32_t>(source.recipients.size());
    auto* attachmentItems = reinterpret_cast<AttachmentRow**>(block + layout.attachmentItemsAt);
    auto* recipientItems = reinterpret_cast<RecipientRow**>(block + layout.recipientItemsAt);
    auto* entry = new (block) MailEntry{
        nullptr,
        new (block + layout.attachmentListAt) AttachmentRowList{
            attachments > 0 ? attachmentItems : nullptr, attachments, attachments},
        new (block + layout.recipientListAt)
            RecipientRowList{recipients > 0 ? recipientItems : nullptr, recipients, recipients}};
    std::size_t mapAt = layout.mapsAt;
    const auto placeMap = [&](std::span<const PropSource> props) {
        auto* map = reinterpret_cast<ExportedPropMap*>(block + mapAt);
        mapAt += PlacePropMap(block + mapAt, props);
        return map;
    };
    entry->props = placeMap(source.props);
    auto* attachmentRow = reinterpret_cast<AttachmentRow*>(block + layout.attachmentRowsAt);
    for (std::uint32_t i = 0; i < attachments; ++i, ++attachmentRow) {
        const MailSource::Attachment& attachment = source.attachments[i];
        ExportedPropMap* row = placeMap(attachment.row);
        attachmentItems[i] = new (attachmentRow)
            AttachmentRow{row, placeMap(attachment.object), attachment.embedded};
    }
    auto* recipientRow = reinterpret_cast<RecipientRow*>(block + layout.recipientRowsAt);
    for (std::uint32_t i = 0; i < recipients; ++i, ++recipientRow)
        recipientItems[i] = new (recipientRow) RecipientRow{placeMap(source.recipients[i])};
    return entry;
}

void FreeMailEntry(MailEntry* entry, ValueFileLedger* valueFiles) {
    if (entry == nullptr) return;
    ForgetValues(entry->props, valueFiles);
    for (std::uint32_t i = 0; entry->attachments != nullptr && i < entry->attachments->count; ++i) {
        const AttachmentRow* row = entry->attachments->items[i];
        ForgetValues(row->tableRow, valueFiles);
        ForgetValues(row->object, valueFiles);
        // Embedded messages are blocks of their own, bounded in depth by the loader.
        FreeMailEntry(row->embedded, valueFiles);
    }
    for (std::uint32_t i = 0; entry->recipients != nullptr && i < entry->recipients->count; ++i)
        ForgetValues(entry->recipients->items[i]->tableRow, valueFiles);
    RecordArena::Free(entry);
}

ExportedPropMap* NewPropMap(std::span<const PropSource> props) {
    auto* block = static_cast<std::uint8_t*>(::operator new(PackedPropMapLayout(props).total));
    PlacePropMap(block, props);
    return reinterpret_cast<ExportedPropMap*>(block);
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

}  // namespace corvex
