#include "messaging/html/html_text.h"

namespace velmora::messaging {

void AppendEscapedText(std::string& html, std::string_view text) {
    html.reserve(html.size() + text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                html += "&amp;";
                break;
            case '<':
                html += "&lt;";
                break;
            case '>':
                html += "&gt;";
                break;
            case '"':
                html += "&quot;";
                break;
            default:
                html += c;
        }
    }
}

std::string PlainTextToHtml(std::string_view text) {
    std::string html =
        "<div style=\"white-space: pre-wrap; overflow-wrap: anywhere; font-family: monospace\">";
    AppendEscapedText(html, text);
    html += "</div>\n";
    return html;
}

}  // namespace velmora::messaging
