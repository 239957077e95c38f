// The HTML that an RTF body carries when it was made from HTML (\fromhtml1):
// the \*\htmltag groups give the markup, the text outside them the content,
// and whatever lies between \htmlrtf and \htmlrtf0 is the RTF-only rendering
// that is left out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora::messaging {

// True when the RTF header says the body was made from HTML.
bool IsEncapsulatedHtml(std::string_view rtf);

// The HTML, as UTF-8; none when the RTF does not carry HTML.
std::optional<std::string> ExtractEncapsulatedHtml(std::string_view rtf);

}  // namespace velmora::messaging
