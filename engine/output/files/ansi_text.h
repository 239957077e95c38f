// 8-bit strings (PT_STRING8) of ANSI stores, turned into UTF-16.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace corvex {

// The text up to the first NUL byte, read as Windows-1252, the code page these
// stores are overwhelmingly written in. Bytes the code page leaves undefined
// keep their own value, as the platform's converter does.
std::u16string AnsiToUtf16(std::span<const std::uint8_t> bytes);

}  // namespace corvex
