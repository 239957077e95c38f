// Property values as the text the viewer shows.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/code_page_decoder.h"
#include "engine/interface/corvex_engine.h"

namespace velmora {

// By the property's type: PT_LONG and PT_BOOLEAN "%d", PT_DOUBLE "%f",
// PT_SYSTIME and PT_APPTIME a local date and time in the user's locale
// ("Invalid DateTime" when it cannot be converted), PT_I8 "0X%llx", PT_STRING8
// decoded with `codePage`, PT_UNICODE up to its NUL, PT_CLSID
// "%08x-%04x-%04x,,%llx", any other type "0x" and the bytes as "%02X".
std::u16string ValueToText(const ExportedProp& prop,
                           std::uint32_t codePage = common::kWindowsWesternCodePage);
// The same for value bytes already read, such as the first part of a large value.
std::u16string BytesToText(std::uint16_t type, const std::vector<std::uint8_t>& bytes,
                           std::uint32_t codePage = common::kWindowsWesternCodePage);

// PR_SUBJECT: skips a leading U+0001 prefix-length marker in UTF-16 subjects,
// reads "\x01\x01"-marked subjects as 8-bit text, and any other as UTF-16.
// A PT_STRING8 subject is 8-bit text in `codePage`, its marker pair skipped.
std::u16string SubjectText(const ExportedProp& prop,
                           std::uint32_t codePage = common::kWindowsWesternCodePage);

// 8-bit text up to its first NUL, widened with the code page.
std::u16string EightBitText(std::span<const std::uint8_t> bytes, std::uint32_t codePage);

// UTF-16 little-endian text up to its first NUL (or the end).
std::u16string Utf16Text(std::span<const std::uint8_t> bytes);

}  // namespace velmora
