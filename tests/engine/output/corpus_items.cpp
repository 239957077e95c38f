#include "tests/engine/output/corpus_items.h"

#include <fstream>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "engine/storage/context_reader.h"
#include "tests/engine/storage/store_fixtures.h"

namespace velmora::test {
namespace {

using namespace corvex;

using namespace common::prop;
using common::kAttachEmbeddedMessage;
constexpr std::uint16_t kLtpRowId = 0x67F2;

std::string Latin1ToUtf8(const ByteBuffer& bytes) {
    std::u16string wide(bytes.begin(), bytes.end());
    return common::Utf16ToUtf8(wide);
}

std::string Utf16LeToUtf8(const ByteBuffer& bytes) {
    std::u16string wide;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return common::Utf16ToUtf8(wide);
}

template <typename V>
std::string Text(const ContextReader<V>& reader, const PropertyMap& map, std::uint16_t id) {
    const PropValue* value = map.Find(id);
    if (value == nullptr) return {};
    std::string text = value->type == 0x001F ? Utf16LeToUtf8(reader.ValueBytes(*value))
                                             : Latin1ToUtf8(reader.ValueBytes(*value));
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::uint32_t Long(const PropertyMap& map, std::uint16_t id) {
    const PropValue* value = map.Find(id);
    return value != nullptr ? common::LoadLE<std::uint32_t>(value->bytes, 0) : 0;
}

template <typename V>
std::vector<StoreRecipient> Recipients(const ContextReader<V>& reader, const NbtEntry& message) {
    std::vector<StoreRecipient> out;
    const SubnodeEntry* table = message.Subnodes().Find(common::kRecipientTableNid);
    if (table == nullptr) return out;
    for (const TableRow& row : reader.SubnodeTable(*table)) {
        out.push_back({Text(reader, row.cells, kDisplayName),
                       Text(reader, row.cells, kEmailAddress),
                       RecipientTypeName(Long(row.cells, kRecipientType))});
    }
    return out;
}

template <typename V>
StoreAttachment Attachment(const ContextReader<V>& reader, const NbtEntry& message,
                           const TableRow& row) {
    // The attachment's own properties are a subnode named by the row's ID; the
    // table row holds only a few of them.
    const SubnodeEntry* subnode = message.Subnodes().Find(Long(row.cells, kLtpRowId));
    const PropertyMap properties =
        subnode != nullptr ? reader.SubnodeProperties(*subnode) : PropertyMap{};
    const PropertyMap& source = properties.Empty() ? row.cells : properties;
    StoreAttachment attachment;
    attachment.name = Text(reader, source, kAttachLongFilename);
    if (attachment.name.empty()) attachment.name = Text(reader, source, kAttachFilename);
    attachment.attachSize = Long(source, kAttachSize);
    attachment.embedded = Long(source, kAttachMethod) == common::kAttachEmbeddedMessage;
    if (const PropValue* data = source.Find(kAttachDataBin);
        data != nullptr && !attachment.embedded) {
        attachment.dataSize = static_cast<std::uint32_t>(reader.ValueBytes(*data).size());
    }
    return attachment;
}

template <typename V>
std::vector<StoreAttachment> Attachments(const ContextReader<V>& reader, const NbtEntry& message) {
    std::vector<StoreAttachment> out;
    const SubnodeEntry* table = message.Subnodes().Find(common::kAttachmentTableNid);
    if (table == nullptr) return out;
    for (const TableRow& row : reader.SubnodeTable(*table))
        out.push_back(Attachment(reader, message, row));
    return out;
}

template <typename V>
StoreContents Read(const std::filesystem::path& path) {
    StoreContents contents;
    auto store = OpenStore<V>(path);
    if (!store) return contents;
    const ContextReader<V> reader(store->Reader());
    for (const auto& [nid, node] : store->Walker().nodes.All()) {
        const std::uint32_t type = node->NidType();
        if (type == kNidTypeNormalFolder || type == kNidTypeSearchFolder) {
            contents.folders.push_back(Text(reader, reader.NodeProperties(*node), kDisplayName));
        } else if (type == kNidTypeNormalMessage) {
            const PropertyMap properties = reader.NodeProperties(*node);
            StoreItem item;
            const NbtEntry* parent = store->Walker().FindNode(node->nidParent);
            if (parent != nullptr)
                item.folder = Text(reader, reader.NodeProperties(*parent), kDisplayName);
            item.subject = SubjectWithoutPrefix(Text(reader, properties, kSubject));
            item.senderName = Text(reader, properties, kSenderName);
            if (item.senderName.empty()) {
                item.senderName = Text(reader, properties, kSentRepresentingName);
                item.senderIsRepresenting = !item.senderName.empty();
            }
            item.recipients = Recipients(reader, *node);
            item.attachments = Attachments(reader, *node);
            contents.items.push_back(std::move(item));
        }
    }
    return contents;
}

std::uint16_t StoreVersion(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::uint8_t bytes[12] = {};
    file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    return static_cast<std::uint16_t>(bytes[10] | (bytes[11] << 8));
}

}  // namespace

std::string SubjectWithoutPrefix(std::string subject) {
    if (subject.size() >= 2 && subject[0] == '\x01') subject.erase(0, 2);
    return subject;
}

std::string RecipientTypeName(std::uint32_t type) {
    switch (type) {
        case 1:
            return "To";
        case 2:
            return "CC";
        case 3:
            return "BCC";
        default:
            return std::to_string(type);
    }
}

StoreContents ReadStoreContents(const std::filesystem::path& path) {
    switch (StoreVersion(path)) {
        case 14:
        case 15:
            return Read<AnsiTraits>(path);
        case 21:
        case 23:
            return Read<UnicodeTraits>(path);
        case 36:
            return Read<Unicode4KTraits>(path);
        default:
            return {};
    }
}

}  // namespace velmora::test
