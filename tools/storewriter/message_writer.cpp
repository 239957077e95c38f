#include "tools/storewriter/message_writer.h"

#include "tools/storewriter/attachment_writer.h"
#include "tools/storewriter/message_properties.h"
#include "tools/storewriter/property_context_writer.h"
#include "tools/storewriter/property_list.h"
#include "tools/storewriter/recipient_table.h"
#include "tools/storewriter/rtf_compressor.h"
#include "tools/storewriter/text_encoding.h"

namespace velmora::storewriter {
namespace {

std::string JoinNames(const MessageSpec& message, RecipientType type) {
    std::string names;
    for (const RecipientSpec& recipient : message.recipients) {
        if (recipient.type != type) continue;
        if (!names.empty()) names += "; ";
        names += recipient.displayName;
    }
    return names;
}

std::uint32_t Flags(const MessageSpec& message) {
    return message.attachments.empty() ? message.flags : message.flags | kMessageFlagHasAttachment;
}

std::size_t ApproximateSize(const MessageSpec& message) {
    std::size_t size = 512 + message.subject.size() + message.body.size() +
                       message.htmlBody.size() + message.rtfBody.size();
    for (const AttachmentSpec& attachment : message.attachments)
        size += attachment.data.size() + 256;
    return size;
}

void AddSender(PropertyList& properties, const MessageSpec& message) {
    if (message.senderName.empty() && message.senderEmail.empty()) return;
    properties.String(common::prop::kSenderName, message.senderName)
        .String(common::prop::kSenderEmailAddress, message.senderEmail)
        .String(common::prop::kSenderAddressType, "SMTP")
        .String(common::prop::kSentRepresentingName, message.senderName)
        .String(common::prop::kSentRepresentingEmail, message.senderEmail)
        .String(common::prop::kSentRepresentingAddressType, "SMTP");
}

void AddBodies(PropertyList& properties, const MessageSpec& message) {
    const bool ansi = properties.Ansi();
    properties.Long(common::prop::kMessageCodePage, kAnsiCodePage)
        .Long(common::prop::kInternetCodePage, ansi ? kAnsiCodePage : kUnicodeCodePage);
    if (!message.body.empty()) properties.String(common::prop::kBody, message.body);
    if (!message.htmlBody.empty()) {
        const std::vector<std::uint8_t> html =
            ansi ? EncodeSingleByte(message.htmlBody)
                 : std::vector<std::uint8_t>(message.htmlBody.begin(), message.htmlBody.end());
        properties.Binary(common::prop::kBodyHtml, html);
    }
    if (!message.rtfBody.empty()) {
        properties.Binary(common::prop::kRtfCompressed, CompressRtf(message.rtfBody))
            .Boolean(common::prop::kRtfInSync, true);
    }
}

PropertyList MessageProperties(const VariantLayout& layout, const MessageSpec& message) {
    PropertyList properties(layout.Ansi());
    properties.String(common::prop::kMessageClass, message.messageClass)
        .String(common::prop::kSubject, message.subject)
        .Long(common::prop::kMessageFlags, Flags(message))
        .Long(common::prop::kImportance, message.importance)
        .Long(common::prop::kMessageSize, static_cast<std::uint32_t>(ApproximateSize(message)))
        .Boolean(common::prop::kHasAttachments, !message.attachments.empty())
        .String(common::prop::kDisplayTo, JoinNames(message, RecipientType::kTo))
        .String(common::prop::kDisplayCc, JoinNames(message, RecipientType::kCc));
    if (message.submitTime != 0) {
        properties.Time(common::prop::kClientSubmitTime, message.submitTime)
            .Time(common::prop::kDeliveryTime, message.submitTime);
    }
    AddSender(properties, message);
    AddBodies(properties, message);
    return properties;
}

}  // namespace

NodeContent BuildMessageContent(const VariantLayout& layout, const MessageSpec& message) {
    SubnodeNids nids;
    NodeContent content =
        BuildPropertyContext(layout, MessageProperties(layout, message).Values(), nids);
    content.subnodes.push_back(
        {common::kRecipientTableNid, BuildRecipientTable(layout, message.recipients)});
    if (message.attachments.empty()) return content;
    AttachmentParts attachments = BuildAttachments(layout, message.attachments, nids);
    content.subnodes.push_back({common::kAttachmentTableNid, std::move(attachments.table)});
    for (SubnodeContent& object : attachments.objects)
        content.subnodes.push_back(std::move(object));
    return content;
}

std::vector<PropertyValue> MessageSummary(const VariantLayout& layout, const MessageSpec& message) {
    PropertyList cells(layout.Ansi());
    cells.Long(common::prop::kImportance, message.importance)
        .String(common::prop::kMessageClass, message.messageClass)
        .String(common::prop::kSubject, message.subject)
        .String(common::prop::kSentRepresentingName, message.senderName)
        .Long(common::prop::kMessageFlags, Flags(message))
        .Long(common::prop::kMessageSize, static_cast<std::uint32_t>(ApproximateSize(message)));
    if (message.submitTime != 0) {
        cells.Time(common::prop::kClientSubmitTime, message.submitTime)
            .Time(common::prop::kDeliveryTime, message.submitTime);
    }
    return cells.Take();
}

std::vector<TableColumn> ContentsTableColumns(const VariantLayout& layout) {
    const std::uint16_t text = layout.Ansi() ? common::ptype::kString8 : common::ptype::kUnicode;
    return {{common::prop::kImportance, common::ptype::kLong},
            {common::prop::kMessageClass, text},
            {common::prop::kSubject, text},
            {common::prop::kClientSubmitTime, common::ptype::kSysTime},
            {common::prop::kSentRepresentingName, text},
            {common::prop::kDeliveryTime, common::ptype::kSysTime},
            {common::prop::kMessageFlags, common::ptype::kLong},
            {common::prop::kMessageSize, common::ptype::kLong}};
}

}  // namespace velmora::storewriter
