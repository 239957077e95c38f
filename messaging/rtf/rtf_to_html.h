// An RTF body shown as simple HTML: paragraphs, line breaks, bold, italic and
// underline, tables as plain rows. Fonts, colours, pictures and every group
// this reader does not know are left out. Any input gives a page.
#pragma once

#include <string>
#include <string_view>

namespace velmora::messaging {

// An HTML fragment (no <html> or <body>), UTF-8.
std::string RtfToSimpleHtml(std::string_view rtf);

}  // namespace velmora::messaging
