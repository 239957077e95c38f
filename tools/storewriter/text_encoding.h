// Strings as a store keeps them: UTF-16LE in Unicode and 4K stores, one byte
// per character (code page 1252) in ANSI stores. Input text is UTF-8.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::storewriter {

constexpr std::uint32_t kAnsiCodePage = 1252;
constexpr std::uint32_t kUnicodeCodePage = 65001;

std::vector<char32_t> DecodeUtf8(std::string_view text);
std::vector<std::uint8_t> EncodeUtf16(std::string_view text);
// Characters outside Latin-1 become '?'.
std::vector<std::uint8_t> EncodeSingleByte(std::string_view text);

}  // namespace velmora::storewriter
