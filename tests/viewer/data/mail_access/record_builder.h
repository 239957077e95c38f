// Engine records built by hand for the data-side tests: property maps,
// messages with attachment and recipient rows, and folder lists. The builder
// owns everything it hands out.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Utf16Bytes(const std::u16string& text) {
    Bytes bytes;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

inline Bytes Utf16BytesTerminated(const std::u16string& text) {
    return Utf16Bytes(text + u'\0');
}

inline Bytes LongBytes(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
}

// An RTF body stored without compression (the "MELA" form).
inline Bytes UncompressedRtf(const std::string& rtf) {
    Bytes bytes = LongBytes(static_cast<std::int32_t>(rtf.size() + 12));
    for (std::uint8_t b : LongBytes(static_cast<std::int32_t>(rtf.size()))) bytes.push_back(b);
    for (char c : std::string("MELA")) bytes.push_back(static_cast<std::uint8_t>(c));
    for (int i = 0; i < 4; ++i) bytes.push_back(0);
    for (char c : rtf) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

struct PropInput {
    std::uint16_t id;
    std::uint16_t type;
    Bytes bytes;
    bool inFile = false;  // bytes are then the UTF-16 path of a value file
};

class RecordBuilder {
  public:
    ExportedProp Prop(const PropInput& input) {
        Bytes& owned = bytes_.emplace_back(input.bytes);
        return ExportedProp{input.id, input.type, input.inFile ? 1 : 0,
                            static_cast<std::uint32_t>(owned.size()),
                            owned.empty() ? nullptr : owned.data()};
    }

    // A map of the properties, sorted by id as the engine hands them out.
    ExportedPropMap* Map(std::initializer_list<PropInput> inputs) {
        return Map(std::vector<PropInput>(inputs));
    }
    ExportedPropMap* Map(const std::vector<PropInput>& inputs) {
        std::vector<ExportedProp*>& pointers = pointerLists_.emplace_back();
        for (const PropInput& input : inputs) pointers.push_back(&props_.emplace_back(Prop(input)));
        std::stable_sort(
            pointers.begin(), pointers.end(),
            [](const ExportedProp* a, const ExportedProp* b) { return a->id < b->id; });
        const auto count = static_cast<std::uint32_t>(pointers.size());
        return &maps_.emplace_back(ExportedPropMap{pointers.data(), count, count});
    }

    RecipientRow* Recipient(const std::vector<PropInput>& inputs) {
        return &recipients_.emplace_back(RecipientRow{Map(inputs)});
    }

    AttachmentRow* Attachment(const std::vector<PropInput>& inputs) {
        return &attachments_.emplace_back(AttachmentRow{Map({}), Map(inputs), nullptr});
    }

    MailEntry* Mail(ExportedPropMap* props, std::vector<RecipientRow*> recipients = {},
                    std::vector<AttachmentRow*> attachments = {}) {
        auto& recipientItems = recipientLists_.emplace_back(std::move(recipients));
        auto& attachmentItems = attachmentLists_.emplace_back(std::move(attachments));
        const auto recipientCount = static_cast<std::uint32_t>(recipientItems.size());
        const auto attachmentCount = static_cast<std::uint32_t>(attachmentItems.size());
        RecipientRowList* recipientList = &recipientRowLists_.emplace_back(
            RecipientRowList{recipientItems.data(), recipientCount, recipientCount});
        AttachmentRowList* attachmentList = &attachmentRowLists_.emplace_back(
            AttachmentRowList{attachmentItems.data(), attachmentCount, attachmentCount});
        return &mails_.emplace_back(MailEntry{props, attachmentList, recipientList});
    }

    FolderEntry* Folder(const std::u16string& name, std::vector<FolderEntry*> children = {}) {
        FolderList* list = List(std::move(children));
        return &folders_.emplace_back(
            FolderEntry{Map({{0x3001, 0x001F, Utf16BytesTerminated(name)}}), list, nullptr, 0, 0});
    }

    FolderList* List(std::vector<FolderEntry*> folders) {
        auto& items = folderItems_.emplace_back(std::move(folders));
        const auto count = static_cast<std::uint32_t>(items.size());
        return &folderLists_.emplace_back(FolderList{items.data(), count, count});
    }

  private:
    std::deque<Bytes> bytes_;
    std::deque<ExportedProp> props_;
    std::deque<std::vector<ExportedProp*>> pointerLists_;
    std::deque<ExportedPropMap> maps_;
    std::deque<RecipientRow> recipients_;
    std::deque<AttachmentRow> attachments_;
    std::deque<std::vector<RecipientRow*>> recipientLists_;
    std::deque<std::vector<AttachmentRow*>> attachmentLists_;
    std::deque<RecipientRowList> recipientRowLists_;
    std::deque<AttachmentRowList> attachmentRowLists_;
    std::deque<MailEntry> mails_;
    std::deque<std::vector<FolderEntry*>> folderItems_;
    std::deque<FolderList> folderLists_;
    std::deque<FolderEntry> folders_;
};

}  // namespace velmora::test
