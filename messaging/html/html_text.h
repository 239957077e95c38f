// Text put into HTML: escaped, and plain-text bodies as a page fragment.
#pragma once

#include <string>
#include <string_view>

namespace velmora::messaging {

// Appends `text` with &, <, > and " escaped.
void AppendEscapedText(std::string& html, std::string_view text);

// A plain-text body (UTF-8) as an HTML fragment: escaped, line ends kept, long lines wrapped.
std::string PlainTextToHtml(std::string_view text);

}  // namespace velmora::messaging
