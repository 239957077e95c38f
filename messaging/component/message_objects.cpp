#include "messaging/component/message_objects.h"

#include <array>
#include <filesystem>
#include <fstream>

#include "common/path_text.h"
#include "messaging/component/member_ids.h"
#include "messaging/mht/mht_writer.h"

namespace velmora::messaging {
namespace {

// The message properties a put may set, with the type each takes.
struct PutMember {
    DispatchId id;
    std::size_t variantIndex;  // the alternative of Variant it holds
};
constexpr std::size_t kText = 1, kInt = 2, kBool = 3, kDate = 4;
constexpr std::array<PutMember, 13> kMessagePuts = {{
    {member::kSubject, kText},
    {member::kAlternateRecipientAllowed, kBool},
    {member::kBody, kText},
    {member::kBodyFormat, kInt},
    {member::kConversationTopic, kText},
    {member::kImportance, kInt},
    {member::kMessageClass, kText},
    {member::kReceivedByName, kText},
    {member::kReceivedTime, kDate},
    {member::kSenderEmailAddress, kText},
    {member::kSenderName, kText},
    {member::kSensitivity, kInt},
    {member::kSentOn, kDate},
}};

std::string ReadFileBytes(const std::u16string& path) {
    std::ifstream file(common::PathFromUtf16(path), std::ios::binary | std::ios::ate);
    if (!file) throw DispatchException(u"Cannot open file " + path);
    const std::streamoff size = file.tellg();
    if (size < 0) throw DispatchException(u"Cannot read file " + path);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.seekg(0);
    if (!file.read(bytes.data(), size)) throw DispatchException(u"Cannot read file " + path);
    return bytes;
}

}  // namespace

Variant SessionObject::Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) {
    if (id != member::kCreateMessageFromFile || kind != InvokeKind::Method) Unknown(id, kind);
    // The message is kept in memory; the file argument names where a message
    // file would be kept and is not written.
    TextArgument(args, 0);
    return DispatchPtr(std::make_shared<MessageObject>());
}

Variant MessageObject::Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) {
    if (kind == InvokeKind::PropertyPut) {
        for (const PutMember& put : kMessagePuts) {
            if (put.id != id) continue;
            if (Argument(args, 0).index() != put.variantIndex)
                throw DispatchException(u"Type mismatch");
            content_->properties[id] = args[0];
            return {};
        }
    } else if (kind == InvokeKind::PropertyGet && id == member::kRecipients) {
        return DispatchPtr(std::make_shared<RecipientsObject>(content_));
    } else if (kind == InvokeKind::PropertyGet && id == member::kAttachments) {
        return DispatchPtr(std::make_shared<AttachmentsObject>(content_));
    } else if (kind == InvokeKind::Method && id == member::kImport) {
        Import(TextArgument(args, 0), IntArgument(args, 1));
        return {};
    } else if (kind == InvokeKind::Method && id == member::kSaveAs) {
        SaveAs(TextArgument(args, 0), IntArgument(args, 1));
        return {};
    }
    Unknown(id, kind);
}

void MessageObject::Import(const std::u16string& path, std::int32_t format) {
    if (format == member::kFormatRtf)
        content_->rtfBody = ReadFileBytes(path);
    else if (format == member::kFormatHtml)
        content_->htmlBody = ReadFileBytes(path);
    else
        throw DispatchException(u"Unsupported body format");
}

void MessageObject::SaveAs(const std::u16string& path, std::int32_t format) const {
    if (format != member::kSaveAsMht) throw DispatchException(u"Unsupported file format");
    std::string error;
    if (!WriteMht(*content_, common::PathFromUtf16(path), error))
        throw DispatchException(u"Cannot save " + path);
}

Variant RecipientsObject::Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) {
    if (id != member::kAddRecipient || kind != InvokeKind::Method) Unknown(id, kind);
    MessageRecipient recipient{TextArgument(args, 0), TextArgument(args, 1), TextArgument(args, 2),
                               IntArgument(args, 3)};
    content_->recipients.push_back(std::move(recipient));
    return DispatchPtr(std::make_shared<RecipientObject>());
}

Variant AttachmentsObject::Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) {
    if (id != member::kAddAttachment || kind != InvokeKind::Method) Unknown(id, kind);
    const std::int32_t type = IntArgument(args, 1);
    if (type != member::kAttachByValue && type != member::kAttachEmbeddedItem)
        throw DispatchException(u"Unsupported attachment type");
    auto attachment = std::make_shared<MessageAttachment>();
    attachment->data = ReadFileBytes(TextArgument(args, 0));
    attachment->message = type == member::kAttachEmbeddedItem;
    attachment->position = IntArgument(args, 2);
    attachment->longName = TextArgument(args, 3);
    content_->attachments.push_back(attachment);
    return DispatchPtr(std::make_shared<AttachmentObject>(std::move(attachment)));
}

Variant AttachmentObject::Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) {
    if (kind != InvokeKind::PropertyPut) Unknown(id, kind);
    const std::u16string& value = TextArgument(args, 0);
    switch (id) {
        case member::kAttachDisplayName:
            attachment_->displayName = value;
            break;
        case member::kAttachFileName:
            attachment_->fileName = value;
            break;
        case member::kAttachMimeTag:
            attachment_->mimeTag = value;
            break;
        case member::kAttachContentId:
            attachment_->contentId = value;
            break;
        case member::kAttachContentLocation:
            attachment_->contentLocation = value;
            break;
        default:
            Unknown(id, kind);
    }
    return {};
}

Variant RecipientObject::Call(DispatchId id, InvokeKind kind, std::span<const Variant>) {
    Unknown(id, kind);
}

}  // namespace velmora::messaging
