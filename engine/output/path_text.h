// UTF-16 names and the platform's paths. Names cross as UTF-8 on every
// platform (char8_t input), so no code page of the process is involved.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/storage/robustness_limits.h"

namespace corvex {

std::filesystem::path PathFromUtf16(std::u16string_view text);
std::u16string PathToUtf16(const std::filesystem::path& path);

// The longest prefix of `text` whose UTF-8 form fits in `maxBytes`; a
// surrogate pair is kept or dropped whole.
std::u16string CapUtf8Bytes(std::u16string_view text, std::size_t maxBytes);

}  // namespace corvex
