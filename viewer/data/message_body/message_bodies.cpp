#include "viewer/data/message_body/message_bodies.h"

#include <span>
#include <vector>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "messaging/html/html_charset.h"
#include "messaging/rtf/rtf_html_extractor.h"
#include "messaging/rtf/rtf_to_html.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_access/value_text.h"

namespace velmora {
namespace {

constexpr char kUtf8[] = "utf-8";

struct HtmlBody {
    std::string html;
    std::string charset;
};

bool IsString(const ExportedProp& prop) {
    return prop.type == common::ptype::kUnicode || prop.type == common::ptype::kString8;
}

std::optional<std::string> PlainBody(const MailEntry& mail) {
    const ExportedProp* body = FindProp(mail.props, common::prop::kBody);
    if (body == nullptr || !IsString(*body)) return std::nullopt;
    return common::Utf16ToUtf8(ValueToText(*body, MessageCodePage(&mail)));
}

std::optional<std::string> RtfBody(const MailEntry& mail) {
    const ExportedProp* rtf = FindProp(mail.props, common::prop::kRtfCompressed);
    if (rtf == nullptr) return std::nullopt;
    const std::optional<std::vector<std::uint8_t>> decoded = DecodedRtf(*rtf);
    if (!decoded) return std::nullopt;
    return std::string(decoded->begin(), decoded->end());
}

// The page the view shows for an RTF body: the HTML it carries, else the RTF as simple HTML.
std::string RtfAsHtml(const std::string& rtf) {
    if (auto html = messaging::ExtractEncapsulatedHtml(rtf)) return *html;
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"></head><body>\n" +
           messaging::RtfToSimpleHtml(rtf) + "</body></html>\n";
}

std::optional<HtmlBody> StoredHtml(const MailEntry& mail) {
    const ExportedProp* html = FindProp(mail.props, common::prop::kBodyHtml);
    if (html == nullptr) return std::nullopt;
    // Kept as a string of UTF-16 units, the page's bytes are its text: as
    // stored they would reach a mail reader as letters with zero bytes between.
    if (html->type == common::ptype::kUnicode)
        return HtmlBody{common::Utf16ToUtf8(ValueToText(*html, MessageCodePage(&mail))), kUtf8};
    const std::vector<std::uint8_t> bytes = ValueBytes(*html);
    std::string stored(bytes.begin(), bytes.end());
    std::string charset = messaging::StoredHtmlCharset(stored);
    return HtmlBody{std::move(stored), std::move(charset)};
}

// The stored HTML, else the page of the RTF body: `readRtf` gives that body
// and is called only when there is no stored HTML.
template <typename ReadRtf>
std::optional<HtmlBody> HtmlOf(const MailEntry& mail, ReadRtf readRtf) {
    if (std::optional<HtmlBody> stored = StoredHtml(mail)) return stored;
    const std::optional<std::string> rtf = readRtf();
    if (!rtf) return std::nullopt;
    return HtmlBody{RtfAsHtml(*rtf), kUtf8};
}

// HTML whose bytes are no UTF-8 is read in the message's code page.
std::string Utf8Html(std::string html, std::uint32_t codePage) {
    if (messaging::IsValidUtf8(html)) return html;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(html.data());
    return common::Utf16ToUtf8(EightBitText(std::span(bytes, html.size()), codePage));
}

}  // namespace

MessageBodies ReadBodies(const MailEntry& mail) {
    MessageBodies bodies;
    bodies.plain = PlainBody(mail);
    bodies.rtf = RtfBody(mail);
    if (std::optional<HtmlBody> html = HtmlOf(mail, [&] { return bodies.rtf; })) {
        bodies.html = std::move(html->html);
        bodies.htmlCharset = std::move(html->charset);
    }
    return bodies;
}

std::optional<TextBody> ReadTextBody(const MailEntry& mail) {
    if (std::optional<std::string> plain = PlainBody(mail); plain && !plain->empty())
        return TextBody{std::move(*plain), false};
    std::optional<HtmlBody> html = HtmlOf(mail, [&] { return RtfBody(mail); });
    if (!html) return std::nullopt;
    return TextBody{Utf8Html(std::move(html->html), MessageCodePage(&mail)), true};
}

}  // namespace velmora
