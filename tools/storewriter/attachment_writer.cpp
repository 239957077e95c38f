#include "tools/storewriter/attachment_writer.h"

#include "common/little_endian.h"
#include "tools/storewriter/message_properties.h"
#include "tools/storewriter/message_writer.h"
#include "tools/storewriter/property_context_writer.h"
#include "tools/storewriter/property_list.h"
#include "tools/storewriter/table_context_writer.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint32_t kNoRenderingPosition = 0xFFFFFFFF;

std::string Extension(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

std::size_t DataSize(const NodeContent& content) {
    std::size_t size = 0;
    for (const auto& block : content.blocks) size += block.size();
    return size;
}

// 0x3701 of an embedded message: the NID of the message's subnode and its size.
PropertyValue EmbeddedObject(std::uint32_t nid, std::size_t size) {
    std::vector<std::uint8_t> bytes(8);
    common::StoreLE32(bytes.data(), nid);
    common::StoreLE32(bytes.data() + 4, static_cast<std::uint32_t>(size));
    return {common::prop::kAttachDataBin, common::ptype::kObject, std::move(bytes)};
}

PropertyList ObjectProperties(const AttachmentSpec& attachment, bool ansi, std::uint32_t method,
                              std::size_t size) {
    PropertyList properties(ansi);
    const std::string name =
        attachment.embedded ? attachment.embedded->subject : attachment.fileName;
    properties.Long(common::prop::kAttachMethod, method)
        .Long(common::prop::kAttachSize, static_cast<std::uint32_t>(size))
        .Long(common::prop::kRenderingPosition, kNoRenderingPosition)
        .String(common::prop::kDisplayName, name);
    if (!attachment.embedded) {
        properties.String(common::prop::kAttachFilename, attachment.fileName)
            .String(common::prop::kAttachLongFilename, attachment.fileName)
            .String(common::prop::kAttachExtension, Extension(attachment.fileName));
    }
    return properties;
}

NodeContent BuildObject(const VariantLayout& layout, const AttachmentSpec& attachment,
                        PropertyList& summary) {
    SubnodeNids nids;
    if (!attachment.embedded) {
        PropertyList properties = ObjectProperties(attachment, layout.Ansi(),
                                                   common::kAttachByValue, attachment.data.size());
        summary = properties;
        properties.Binary(common::prop::kAttachDataBin, attachment.data);
        return BuildPropertyContext(layout, properties.Values(), nids);
    }
    SubnodeContent message{nids.Next(), BuildMessageContent(layout, *attachment.embedded)};
    const std::size_t size = DataSize(message.content);
    PropertyList properties =
        ObjectProperties(attachment, layout.Ansi(), common::kAttachEmbeddedMessage, size);
    summary = properties;
    properties.Add(EmbeddedObject(message.nid, size));
    NodeContent object = BuildPropertyContext(layout, properties.Values(), nids);
    object.subnodes.push_back(std::move(message));
    return object;
}

std::vector<TableColumn> AttachmentColumns(std::uint16_t stringType) {
    return {{common::prop::kAttachSize, common::ptype::kLong},
            {common::prop::kAttachFilename, stringType},
            {common::prop::kAttachMethod, common::ptype::kLong},
            {common::prop::kRenderingPosition, common::ptype::kLong}};
}

}  // namespace

AttachmentParts BuildAttachments(const VariantLayout& layout,
                                 std::span<const AttachmentSpec> attachments, SubnodeNids& nids) {
    AttachmentParts parts;
    std::vector<TableRowValues> rows;
    for (const AttachmentSpec& attachment : attachments) {
        PropertyList summary(layout.Ansi());
        SubnodeContent object{nids.Next(kAttachmentNidType),
                              BuildObject(layout, attachment, summary)};
        rows.push_back({object.nid, summary.Take()});
        parts.objects.push_back(std::move(object));
    }
    SubnodeNids tableNids;
    const PropertyList probe(layout.Ansi());
    parts.table = BuildTableContext(layout, AttachmentColumns(probe.StringType()), rows, tableNids);
    return parts;
}

}  // namespace velmora::storewriter
