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

// The charset a stored HTML body is labelled with where it leaves the store:
// DetectHtmlCharset, except that a label of a 16-bit encoding on 8-bit bytes
// (which would garble the page) or of UTF-7 (which would read markup into
// text that a clean-up saw as plain letters) gives "utf-8" for valid UTF-8 and
// "windows-1252" otherwise.
std::string StoredHtmlCharset(std::string_view html);

}  // namespace velmora::messaging
