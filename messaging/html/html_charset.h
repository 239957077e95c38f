// The character set of a stored HTML body, which carries no label of its own
// outside the document.
#pragma once

#include <string>
#include <string_view>

namespace velmora::messaging {

// The charset a <meta> element near the start names; else "utf-8" when the
// bytes are valid UTF-8; else "windows-1252".
std::string DetectHtmlCharset(std::string_view html);

bool IsValidUtf8(std::string_view text);

}  // namespace velmora::messaging
