#include "messaging/mht/mime_parts.h"

#include <ctime>

#include "automation/variant_date.h"
#include "messaging/component/member_ids.h"
#include "messaging/html/html_names.h"
#include "messaging/html/html_sanitizer.h"
#include "messaging/mime/gmime_ref.h"
#include "messaging/rtf/rtf_character_buffer.h"

namespace velmora::messaging {
namespace {

// The attachment's own name for the part: the name it was added with, else its file or display
// name.
std::string PartFileName(const MessageAttachment& attachment) {
    if (!attachment.longName.empty()) return Utf8Of(attachment.longName);
    if (!attachment.fileName.empty()) return Utf8Of(attachment.fileName);
    return Utf8Of(attachment.displayName);
}

// A part the view would show as a page of its own, were it opened from a link.
bool IsPageType(std::string_view type) {
    const std::string lower = AsciiLower(type);
    return lower == "text/html" || lower == "application/xhtml+xml";
}

void AddMailbox(GMimeMessage* message, GMimeAddressType type, const std::u16string& name,
                const std::u16string& address) {
    messaging::AddMailbox(g_mime_message_get_addresses(message, type), Utf8Of(name),
                          Utf8Of(address));
}

void SetDate(GMimeMessage* message, const VariantDate* date) {
    if (date == nullptr) return;
    auto fields = FieldsFromVariantDate(*date);
    if (!fields) return;
    const std::time_t seconds = std::mktime(&*fields);
    if (seconds == static_cast<std::time_t>(-1)) return;
    GDateTime* dateTime = g_date_time_new_from_unix_local(static_cast<gint64>(seconds));
    if (dateTime == nullptr) return;
    g_mime_message_set_date(message, dateTime);
    g_date_time_unref(dateTime);
}

}  // namespace

GMimePart* NewPagePart(const std::string& html, const std::string& charset) {
    GMimePart* part = g_mime_part_new_with_type("text", "html");
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", charset.c_str());
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_QUOTEDPRINTABLE);
    g_mime_object_set_header(GMIME_OBJECT(part), "Content-Location", "file:///message.html",
                             nullptr);
    SetPartContent(part, html);
    return part;
}

GMimePart* NewResourcePart(const MessageAttachment& attachment, const std::string& contentId) {
    const std::string type = CleanMimeType(Utf8Of(attachment.mimeTag));
    GMimePart* part = NewPartOfType(type);
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    g_mime_part_set_content_id(part, contentId.c_str());
    g_mime_object_set_header(GMIME_OBJECT(part), "Content-Location", ("cid:" + contentId).c_str(),
                             nullptr);
    g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_INLINE);
    const std::string fileName = PartFileName(attachment);
    if (!fileName.empty()) g_mime_part_set_filename(part, fileName.c_str());
    SetPartContent(part, IsPageType(type) ? SanitizeHtml(attachment.data) : attachment.data);
    return part;
}

GMimeMessagePart* NewAttachedMessagePart(const MessageAttachment& attachment) {
    const GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(
        reinterpret_cast<const char*>(attachment.data.data()), attachment.data.size()));
    const GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    const GRef<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) return nullptr;
    return NewAttachedMessagePart(message.get(), PartFileName(attachment));
}

void SetMessageHeaders(GMimeMessage* message, const MessageContent& content) {
    AddMailbox(message, GMIME_ADDRESS_TYPE_FROM, content.Text(member::kSenderName),
               content.Text(member::kSenderEmailAddress));
    for (const MessageRecipient& recipient : content.recipients) {
        if (recipient.type == 1)
            AddMailbox(message, GMIME_ADDRESS_TYPE_TO, recipient.name, recipient.address);
        if (recipient.type == 2)
            AddMailbox(message, GMIME_ADDRESS_TYPE_CC, recipient.name, recipient.address);
    }
    const std::string subject = Utf8Of(content.Text(member::kSubject));
    g_mime_message_set_subject(message, subject.c_str(), "utf-8");
    const VariantDate* sent = content.Date(member::kSentOn);
    SetDate(message, sent != nullptr ? sent : content.Date(member::kReceivedTime));
}

}  // namespace velmora::messaging
