// Conversions between the UTF-16 strings that cross the library boundary and
// the UTF-8 the platform's file functions take.
#pragma once

#include <cstddef>
#include <string>

namespace common {

// The two halves of a surrogate pair; either alone names no character.
inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Copies a NUL-terminated UTF-16 string; null gives an empty string.
std::u16string CopyUtf16(const char16_t* text);
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Copies `text` into `out` (capacity in characters, terminator included),
// truncating on a character boundary when it does not fit.
void CopyToBuffer(std::u16string_view text, char16_t* out, std::size_t capacity);

// A new heap copy with its terminator, for strings handed across the boundary.
char16_t* DuplicateUtf16(std::u16string_view text);

}  // namespace common
