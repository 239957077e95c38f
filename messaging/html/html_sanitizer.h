// HTML bodies made safe to show: no scripts, no event handlers, no active
// URLs, and nothing fetched from outside the page. A body is parsed into the
// tree a browser would build from it (libgumbo) and written back with known
// elements and attributes only. Images and styles may only come from the
// page's own parts (cid:) or inline images (data:image/); any other source is
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

// The sanitised document: the document type, then <html><head> with the policy
// first, then what the body keeps. Text bytes of any ASCII-compatible charset
// pass through unchanged; characters named by references are written as references.
std::string SanitizeHtml(std::string_view html);

// CSS with external url() references, image sets and the like, and @import rules made inert.
std::string NeutralizeCss(std::string_view css);

}  // namespace velmora::messaging
