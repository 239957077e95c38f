#include "viewer/data/mail_writer/message_body.h"

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "messaging/html/html_charset.h"
#include "messaging/mime/mime_pieces.h"
#include "messaging/rtf/rtf_html_extractor.h"
#include "messaging/rtf/rtf_to_html.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"
#include "viewer/data/mail_writer/item_text.h"

namespace velmora {
namespace {

constexpr char kUtf8[] = "utf-8";

std::optional<std::string> PlainText(const MailEntry& mail) {
    const ExportedProp* body = FindProp(mail.props, common::prop::kBody);
    if (body == nullptr) return std::nullopt;
    if (body->type != common::ptype::kUnicode && body->type != common::ptype::kString8)
        return std::nullopt;
    return common::Utf16ToUtf8(ValueToText(*body, MessageCodePage(&mail)));
}

// The page the view shows for an RTF body: the HTML it carries, else the RTF as simple HTML.
std::string RtfAsHtml(const std::string& rtf) {
    if (auto html = messaging::ExtractEncapsulatedHtml(rtf)) return *html;
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n" +
           messaging::RtfToSimpleHtml(rtf) + "</body></html>\n";
}

}  // namespace

MessageBodies ReadBodies(const MailEntry& mail) {
    MessageBodies bodies;
    bodies.plain = PlainText(mail);
    if (const auto fields = ItemFieldsText(mail))
        bodies.plain = bodies.plain ? *fields + "\n" + *bodies.plain : *fields;
    if (const ExportedProp* rtf = FindProp(mail.props, common::prop::kRtfCompressed)) {
        if (auto decoded = DecodedRtf(*rtf)) bodies.rtf.emplace(decoded->begin(), decoded->end());
    }
    if (const ExportedProp* html = FindProp(mail.props, common::prop::kBodyHtml)) {
        const std::vector<std::uint8_t> bytes = ValueBytes(*html);
        bodies.html.emplace(bytes.begin(), bytes.end());
        bodies.htmlCharset = messaging::StoredHtmlCharset(*bodies.html);
    } else if (bodies.rtf) {
        bodies.html = RtfAsHtml(*bodies.rtf);
        bodies.htmlCharset = kUtf8;
    }
    return bodies;
}

GMimePart* NewTextPart(const char* subtype, const std::string& text, const std::string& charset) {
    GMimePart* part = g_mime_part_new_with_type("text", subtype);
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", charset.c_str());
    messaging::SetPartContent(part, text);
    g_mime_part_set_content_encoding(
        part, g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_7BIT));
    return part;
}

}  // namespace velmora
