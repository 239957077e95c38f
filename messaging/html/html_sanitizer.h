// HTML bodies made safe to show: no scripts, no event handlers, no active
// URLs, and nothing fetched from outside the page. Images and styles may only
// come from the page's own parts (cid:) or inline data; any other source is
// kept in a renamed attribute, so the image stays unresolved. Malformed and
// unterminated markup is tolerated.
#pragma once

#include <string>
#include <string_view>

namespace velmora::messaging {

// The policy placed at the start of every page, in case a browser would still
// find something to run or fetch.
inline constexpr char kContentSecurityPolicyMeta[] =
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src cid: "
    "data:; "
    "style-src 'unsafe-inline' cid:; font-src cid: data:; media-src cid: data:\">\n";

// The sanitised document (bytes of any ASCII-compatible charset pass through unchanged).
std::string SanitizeHtml(std::string_view html);

// CSS with external url() references and @import rules made inert.
std::string NeutralizeCss(std::string_view css);

}  // namespace velmora::messaging
