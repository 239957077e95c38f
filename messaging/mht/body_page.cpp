#include "messaging/mht/body_page.h"

#include "messaging/component/member_ids.h"
#include "messaging/html/html_charset.h"
#include "messaging/html/html_sanitizer.h"
#include "messaging/html/html_text.h"
#include "messaging/rtf/rtf_character_buffer.h"
#include "messaging/rtf/rtf_html_extractor.h"
#include "messaging/rtf/rtf_to_html.h"

namespace velmora::messaging {
namespace {

constexpr char kUtf8[] = "utf-8";

std::string Document(const std::string& fragment) {
    return std::string("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n") +
           kContentSecurityPolicyMeta + "</head><body>\n" + fragment + "</body></html>\n";
}

}  // namespace

BodyPage BuildBodyPage(const MessageContent& content, const PartsByName& parts) {
    BodyPage page;
    if (!content.htmlBody.empty()) {
        page.html = SanitizeHtml(ResolveNamedResources(content.htmlBody, parts, page.namesUsed));
        page.charset = StoredHtmlCharset(content.htmlBody);
    } else if (!content.rtfBody.empty()) {
        if (auto html = ExtractEncapsulatedHtml(content.rtfBody))
            page.html = SanitizeHtml(ResolveNamedResources(*html, parts, page.namesUsed));
        else
            page.html = Document(RtfToSimpleHtml(content.rtfBody));
        page.charset = kUtf8;
    } else {
        page.html = Document(PlainTextToHtml(Utf8Of(content.Text(member::kBody))));
        page.charset = kUtf8;
    }
    return page;
}

}  // namespace velmora::messaging
