#include "tests/engine/output/walk_support.h"

#include <atomic>
#include <fstream>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "engine/interface/engine_api.h"
#include "engine/storage/variant_traits.h"
#include "viewer/data/mail_access/value_file_sources.h"

namespace velmora::test {
namespace {

using namespace common::prop;
using common::kAttachEmbeddedMessage;
constexpr std::uint16_t kTypeUnicode = 0x001F;

template <typename V>
EngineCalls CallsOf() {
    using Api = corvex::EngineApi<V>;
    return {Api::Create,
            Api::Parse,
            Api::ParseTest,
            Api::EnumRootFolder,
            Api::EnumChildFolder,
            Api::EnumAllFolders,
            Api::EnumChildMails,
            Api::EnumChildMailsNext,
            Api::SaveFolderHierarchy,
            Api::Delete,
            Api::EnsureValueFile};
}

std::string BytesToUtf8(const std::vector<std::uint8_t>& bytes, bool wide) {
    std::u16string text;
    if (wide) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    } else {
        text.assign(bytes.begin(), bytes.end());
    }
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return common::Utf16ToUtf8(text);
}

StoreAttachment AttachmentOf(const AttachmentRow& row) {
    // The object's own properties, or the row's cells when the object is missing.
    const ExportedPropMap* source =
        row.object != nullptr && row.object->count > 0 ? row.object : row.tableRow;
    StoreAttachment attachment;
    attachment.name = PropText(source, kAttachLongFilename);
    if (attachment.name.empty()) attachment.name = PropText(source, kAttachFilename);
    attachment.attachSize = PropLong(source, kAttachSize);
    attachment.embedded = PropLong(source, kAttachMethod) == common::kAttachEmbeddedMessage;
    if (const ExportedProp* data = FindProp(source, kAttachDataBin);
        data != nullptr && !attachment.embedded) {
        attachment.dataSize = static_cast<std::uint32_t>(PropBytes(*data).size());
    }
    return attachment;
}

void CollectFolders(const FolderEntry& folder, const std::string& prefix,
                    std::vector<WalkedFolder>& out) {
    for (std::uint32_t i = 0; i < folder.children->count; ++i) {
        FolderEntry* child = folder.children->items[i];
        const std::string path = prefix + FolderDisplayName(*child);
        out.push_back({path, child});
        CollectFolders(*child, path + "/", out);
    }
}

void AddValueFiles(const ExportedPropMap* map, std::vector<const ExportedProp*>& out) {
    if (map == nullptr) return;
    for (std::uint32_t i = 0; i < map->count; ++i) {
        if (map->items[i]->inFile != 0) out.push_back(map->items[i]);
    }
}

}  // namespace

StoreVariant VariantOfStore(const std::filesystem::path& store) {
    std::ifstream file(store, std::ios::binary);
    std::uint8_t bytes[12] = {};
    file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    switch (bytes[10] | (bytes[11] << 8)) {
        case 14:
        case 15:
            return StoreVariant::kAnsi;
        case 21:
        case 23:
            return StoreVariant::kUnicode;
        case 36:
            return StoreVariant::kUnicode4K;
        default:
            return StoreVariant::kUnknown;
    }
}

const EngineCalls& CallsFor(StoreVariant variant) {
    static const EngineCalls ansi = CallsOf<corvex::AnsiTraits>();
    static const EngineCalls unicode = CallsOf<corvex::UnicodeTraits>();
    static const EngineCalls unicode4K = CallsOf<corvex::Unicode4KTraits>();
    switch (variant) {
        case StoreVariant::kAnsi:
            return ansi;
        case StoreVariant::kUnicode4K:
            return unicode4K;
        default:
            return unicode;
    }
}

std::u16string U16(const std::filesystem::path& path) {
    return common::Utf8ToUtf16(path.string());
}

OpenedStore::OpenedStore(const std::filesystem::path& store)
    : OpenedStore(store, VariantOfStore(store)) {}

OpenedStore::OpenedStore(const std::filesystem::path& store, StoreVariant variant)
    : OpenedStore(store, variant, {}) {}

OpenedStore::OpenedStore(const std::filesystem::path& store, StoreVariant variant,
                         std::filesystem::path tempRoot)
    : root_(tempRoot.empty() ? temp_.Path() : std::move(tempRoot)),
      variant_(variant),
      calls_(&CallsFor(variant)) {
    const std::u16string storePath = U16(store);
    calls_->create(storePath.c_str(), &handle_, U16(root_).c_str());
    OpenStatus status{};
    status.code = 1;
    calls_->parse(storePath.c_str(), handle_, &status);
    opened_ = status.code == 1;
    AddValueFileSource(handle_, calls_->ensureValueFile);
}

OpenedStore::~OpenedStore() {
    Delete();
}

void OpenedStore::Delete() {
    RemoveValueFileSource(handle_);
    if (handle_ != nullptr) calls_->remove(handle_);
    handle_ = nullptr;
}

FolderList& OpenedStore::AllFolders() {
    if (!enumerated_) calls_->enumAllFolders(handle_);
    enumerated_ = true;
    return *handle_->rootFolders;
}

void OpenedStore::SetStopWord(std::int32_t value) {
    std::atomic_ref<std::int32_t>(*handle_->status->stopWord).store(value);
}

const ExportedProp* FindProp(const ExportedPropMap* map, std::uint16_t id) {
    if (map == nullptr) return nullptr;
    for (std::uint32_t i = 0; i < map->count; ++i) {
        if (map->items[i]->id == id) return map->items[i];
    }
    return nullptr;
}

std::filesystem::path ValueFilePath(const ExportedProp& prop) {
    std::u16string path(reinterpret_cast<const char16_t*>(prop.bytes), prop.byteCount / 2);
    while (!path.empty() && path.back() == u'\0') path.pop_back();
    return std::filesystem::path(common::Utf16ToUtf8(path));
}

std::vector<std::uint8_t> PropBytes(const ExportedProp& prop) {
    if (prop.inFile == 0) return {prop.bytes, prop.bytes + prop.byteCount};
    if (EnsureValueFile(prop) == ValueFileState::kFailed) return {};
    std::ifstream file(ValueFilePath(prop), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string PropText(const ExportedPropMap* map, std::uint16_t id) {
    const ExportedProp* prop = FindProp(map, id);
    return prop != nullptr ? BytesToUtf8(PropBytes(*prop), prop->type == kTypeUnicode)
                           : std::string();
}

std::uint32_t PropLong(const ExportedPropMap* map, std::uint16_t id) {
    const ExportedProp* prop = FindProp(map, id);
    if (prop == nullptr || prop->inFile != 0 || prop->byteCount < 4) return 0;
    return prop->bytes[0] | (prop->bytes[1] << 8) | (prop->bytes[2] << 16) |
           (static_cast<std::uint32_t>(prop->bytes[3]) << 24);
}

std::string FolderDisplayName(const FolderEntry& folder) {
    return PropText(folder.props, kDisplayName);
}

FolderEntry* FindFolderByName(const FolderList& list, const std::string& name) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        if (FolderDisplayName(*list.items[i]) == name) return list.items[i];
    }
    return nullptr;
}

std::vector<WalkedFolder> FoldersBelow(const FolderEntry& folder) {
    std::vector<WalkedFolder> out;
    CollectFolders(folder, "", out);
    return out;
}

StoreItem ItemOf(const MailEntry& mail, const std::string& folder) {
    StoreItem item;
    item.folder = folder;
    item.subject = SubjectWithoutPrefix(PropText(mail.props, kSubject));
    item.senderName = PropText(mail.props, kSenderName);
    if (item.senderName.empty()) {
        item.senderName = PropText(mail.props, kSentRepresentingName);
        item.senderIsRepresenting = !item.senderName.empty();
    }
    for (std::uint32_t i = 0; i < mail.recipients->count; ++i) {
        const ExportedPropMap* cells = mail.recipients->items[i]->tableRow;
        item.recipients.push_back({PropText(cells, kDisplayName), PropText(cells, kEmailAddress),
                                   RecipientTypeName(PropLong(cells, kRecipientType))});
    }
    for (std::uint32_t i = 0; i < mail.attachments->count; ++i)
        item.attachments.push_back(AttachmentOf(*mail.attachments->items[i]));
    return item;
}

std::vector<const MailEntry*> MailsOf(const FolderEntry& folder) {
    const MailEntryList& entries = folder.mails->entries;
    return {entries.items, entries.items + entries.count};
}

// An attached message's value files belong to the record of the message it is attached to.
void AddMailValueFiles(const MailEntry& mail, std::vector<const ExportedProp*>& out) {
    AddValueFiles(mail.props, out);
    for (std::uint32_t i = 0; i < mail.attachments->count; ++i) {
        AddValueFiles(mail.attachments->items[i]->object, out);
        if (const MailEntry* inner = mail.attachments->items[i]->embedded)
            AddMailValueFiles(*inner, out);
    }
}

std::vector<const ExportedProp*> ValueFilePropsOf(const FolderEntry& folder) {
    std::vector<const ExportedProp*> out;
    for (const MailEntry* mail : MailsOf(folder)) AddMailValueFiles(*mail, out);
    return out;
}

std::vector<std::filesystem::path> ValueFilesOf(const FolderEntry& folder) {
    std::vector<std::filesystem::path> out;
    for (const ExportedProp* prop : ValueFilePropsOf(folder)) out.push_back(ValueFilePath(*prop));
    return out;
}

void ReadValueFilesOf(const FolderEntry& folder) {
    for (const ExportedProp* prop : ValueFilePropsOf(folder)) PropBytes(*prop);
}

std::size_t FilesIn(const std::filesystem::path& directory) {
    std::error_code error;
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(directory, error);
         !error && it != std::filesystem::directory_iterator(); ++it)
        ++count;
    return count;
}

}  // namespace velmora::test
