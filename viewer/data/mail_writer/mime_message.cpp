#include "viewer/data/mail_writer/mime_message.h"

#include <strings.h>

#include <cstdio>

#include "common/utf16_text.h"
#include "messaging/mime/gmime_ref.h"
#include "messaging/mime/mime_pieces.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_writer/header_text.h"
#include "viewer/data/mail_writer/message_body.h"
#include "viewer/data/mail_writer/message_headers.h"
#include "viewer/data/mail_writer/output_files.h"

namespace velmora {
namespace {

using messaging::GRef;

std::string AttachmentFileName(const AttachmentRow& row, std::uint32_t codePage) {
    return HeaderText(AttachmentName(&row, codePage));
}

std::string ContentIdOf(const AttachmentRow& row, std::uint32_t codePage) {
    return messaging::CleanContentId(
        common::Utf16ToUtf8(PropText(row.object, prop::kAttachContentId, codePage)));
}

bool ContainsNoCase(const std::string& text, const std::string& needle) {
    if (needle.empty() || needle.size() > text.size()) return false;
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (strncasecmp(text.data() + i, needle.data(), needle.size()) == 0) return true;
    }
    return false;
}

// A picture the HTML shows: an attachment with data and a content id the page names.
bool IsInlinePart(const AttachmentRow& row, const MessageBodies& bodies, std::uint32_t codePage) {
    if (!bodies.html || AttachmentMessage(&row) != nullptr || AttachmentData(&row) == nullptr)
        return false;
    const std::string contentId = ContentIdOf(row, codePage);
    return !contentId.empty() && ContainsNoCase(*bodies.html, "cid:" + contentId);
}

// The attachment's stored MIME type. A message or multipart type may not be
// base64-encoded, and a mail reader would parse the bytes as parts of their
// own: such data travels as application/octet-stream, byte for byte.
std::string DataPartType(const AttachmentRow& row, std::uint32_t codePage) {
    const std::string type = messaging::CleanMimeType(
        common::Utf16ToUtf8(PropText(row.object, prop::kAttachMimeTag, codePage)));
    if (strncasecmp(type.c_str(), "message/", 8) == 0 ||
        strncasecmp(type.c_str(), "multipart/", 10) == 0)
        return "application/octet-stream";
    return type;
}

GMimePart* NewDataPart(const AttachmentRow& row, std::uint32_t codePage, bool inline_) {
    GMimePart* part = messaging::NewPartOfType(DataPartType(row, codePage));
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    g_mime_object_set_disposition(
        GMIME_OBJECT(part), inline_ ? GMIME_DISPOSITION_INLINE : GMIME_DISPOSITION_ATTACHMENT);
    const std::string fileName = AttachmentFileName(row, codePage);
    if (!fileName.empty()) g_mime_part_set_filename(part, fileName.c_str());
    const std::string contentId = ContentIdOf(row, codePage);
    if (!contentId.empty()) g_mime_part_set_content_id(part, contentId.c_str());
    const std::vector<std::uint8_t> bytes = ValueBytes(*AttachmentData(&row));
    messaging::SetPartContent(
        part, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return part;
}

void Add(GMimeMultipart* multipart, GMimeObject* part) {
    g_mime_multipart_add(multipart, part);
    g_object_unref(part);
}

// The HTML, with the pictures it shows beside it in multipart/related when there are any.
GMimeObject* NewHtmlPart(const MailEntry& mail, const MessageBodies& bodies) {
    GMimeObject* html = GMIME_OBJECT(NewTextPart("html", *bodies.html, bodies.htmlCharset));
    const std::uint32_t codePage = MessageCodePage(&mail);
    GMimeMultipart* related = nullptr;
    for (std::uint32_t i = 0; mail.attachments != nullptr && i < mail.attachments->count; ++i) {
        const AttachmentRow* row = mail.attachments->items[i];
        if (row == nullptr || !IsInlinePart(*row, bodies, codePage)) continue;
        if (related == nullptr) {
            related = g_mime_multipart_new_with_subtype("related");
            g_mime_object_set_content_type_parameter(GMIME_OBJECT(related), "type", "text/html");
            Add(related, html);
        }
        Add(related, GMIME_OBJECT(NewDataPart(*row, codePage, true)));
    }
    return related != nullptr ? GMIME_OBJECT(related) : html;
}

// The plain text and the HTML as alternatives, or whichever of them there is.
GMimeObject* NewBodyPart(const MailEntry& mail, const MessageBodies& bodies) {
    GMimeObject* plain =
        bodies.plain || !bodies.html
            ? GMIME_OBJECT(NewTextPart("plain", bodies.plain.value_or(""), "utf-8"))
            : nullptr;
    if (!bodies.html) return plain;
    GMimeObject* html = NewHtmlPart(mail, bodies);
    if (plain == nullptr) return html;
    GMimeMultipart* alternative = g_mime_multipart_new_with_subtype("alternative");
    Add(alternative, plain);
    Add(alternative, html);
    return GMIME_OBJECT(alternative);
}

// The attachment's part, or null for one that holds nothing to write: a
// link, a stored object, a message too deep or one the store does not yield.
GMimeObject* NewAttachmentPart(const AttachmentRow& row, const std::string& messageId,
                               const MailWriteOptions& options, int depth, std::uint32_t codePage) {
    if (const MailEntry* inner = AttachmentMessage(&row)) {
        if (depth + 1 >= kMaxAttachedMessageDepth) return nullptr;
        const GRef<GMimeMessage> message(NewMimeMessage(*inner, messageId, options, depth + 1));
        return GMIME_OBJECT(
            messaging::NewAttachedMessagePart(message.get(), AttachmentFileName(row, codePage)));
    }
    if (AttachmentData(&row) == nullptr) return nullptr;
    return GMIME_OBJECT(NewDataPart(row, codePage, false));
}

GMimePart* NewRtfPart(const std::string& rtf) {
    GMimePart* part = g_mime_part_new_with_type("application", "rtf");
    g_mime_part_set_content_encoding(part, GMIME_CONTENT_ENCODING_BASE64);
    g_mime_object_set_disposition(GMIME_OBJECT(part), GMIME_DISPOSITION_ATTACHMENT);
    g_mime_part_set_filename(part, "body.rtf");
    messaging::SetPartContent(part, rtf);
    return part;
}

// The body with the attachments after it in multipart/mixed, when there are any.
GMimeObject* NewContentPart(const MailEntry& mail, const std::string& messageId,
                            const MailWriteOptions& options, int depth) {
    const MessageBodies bodies = BodiesToWrite(mail);
    GMimeObject* body = NewBodyPart(mail, bodies);
    const std::uint32_t codePage = MessageCodePage(&mail);
    GMimeMultipart* mixed = g_mime_multipart_new_with_subtype("mixed");
    Add(mixed, body);
    for (std::uint32_t i = 0; mail.attachments != nullptr && i < mail.attachments->count; ++i) {
        const AttachmentRow* row = mail.attachments->items[i];
        if (row == nullptr || IsInlinePart(*row, bodies, codePage)) continue;
        const std::string innerId = messageId + "." + std::to_string(i + 1);
        if (GMimeObject* part = NewAttachmentPart(*row, innerId, options, depth, codePage))
            Add(mixed, part);
    }
    if (options.keepRtf && bodies.rtf) Add(mixed, GMIME_OBJECT(NewRtfPart(*bodies.rtf)));
    if (g_mime_multipart_get_count(mixed) > 1) return GMIME_OBJECT(mixed);
    g_object_ref(body);
    g_object_unref(mixed);
    return body;
}

}  // namespace

GMimeMessage* NewMimeMessage(const MailEntry& mail, const std::string& messageId,
                             const MailWriteOptions& options, int depth) {
    messaging::InitMimeLibrary();
    GMimeMessage* message = NewMessageWithHeaders(mail, messageId);
    const GRef<GMimeObject> content(NewContentPart(mail, messageId, options, depth));
    g_mime_message_set_mime_part(message, content.get());
    return message;
}

std::string MessageBytes(GMimeMessage* message, LineEnds lineEnds) {
    GMimeFormatOptions* options = g_mime_format_options_new();
    g_mime_format_options_set_newline_format(options, lineEnds == LineEnds::kCrLf
                                                          ? GMIME_NEWLINE_FORMAT_DOS
                                                          : GMIME_NEWLINE_FORMAT_UNIX);
    GByteArray* bytes = g_byte_array_new();
    GMimeStream* stream = g_mime_stream_mem_new_with_byte_array(bytes);
    g_mime_stream_mem_set_owner(GMIME_STREAM_MEM(stream), FALSE);
    g_mime_object_write_to_stream(GMIME_OBJECT(message), options, stream);
    g_object_unref(stream);
    g_mime_format_options_free(options);
    std::string text(reinterpret_cast<const char*>(bytes->data), bytes->len);
    g_byte_array_free(bytes, TRUE);
    return text;
}

std::string EmlText(const MailEntry& mail, const std::string& messageId,
                    const MailWriteOptions& options) {
    const GRef<GMimeMessage> message(NewMimeMessage(mail, messageId, options));
    return MessageBytes(message.get(), LineEnds::kCrLf);
}

bool WriteMessageFile(const MailEntry& mail, const std::filesystem::path& target, bool replace,
                      OutputFailure& failure, unsigned mode) {
    const std::string messageId = StableMessageId(target.filename().string(), 0);
    return WriteWholeFile(target, EmlText(mail, messageId), replace, failure, mode);
}

std::string StableMessageId(const std::string& storeName, std::uint64_t nodeKey) {
    // FNV-1a: short, stable across runs and platforms, and no secret to keep.
    std::uint64_t digest = 0xcbf29ce484222325ULL;
    for (const char c : storeName) {
        digest ^= static_cast<unsigned char>(c);
        digest *= 0x100000001b3ULL;
    }
    char id[64];
    std::snprintf(id, sizeof id, "%llx.%016llx@velmora", static_cast<unsigned long long>(nodeKey),
                  static_cast<unsigned long long>(digest));
    return id;
}

}  // namespace velmora
