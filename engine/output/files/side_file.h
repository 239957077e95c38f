// Side files: values of a property file that go to files of their own (PT_BINARY
// values and values held out of line), next to the CSV that names them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/storage/robustness_limits.h"

namespace corvex {

// line number + "." + property name + suffix + extension, where the extension
// is ".html" for the HTML body (0x1013), ".txt" for the plain body (0x1000)
// and ".bin.txt" otherwise. Separators and control characters of the property
// name become "_", and the name is shortened so that the whole file name stays
// within 255 UTF-8 bytes; the leading number keeps it from being "." or "..".
std::u16string SideFileName(std::uint16_t lineNumber, std::uint16_t id, std::u16string_view suffix);

// Writes `bytes` to the first free name in `directory`: without suffix, else
// with 1, 2, 3, ... up to kMaxSideFileSuffix. Any entry counts as taken, a
// dangling symbolic link too, so a value is never written through a link.
// Returns the name written, or the name tried when the file could not be
// written for another reason (the property file still names it, as it would
// name a file the disk then refused); no value when all names are taken.
std::optional<std::filesystem::path> WriteSideFile(const std::filesystem::path& directory,
                                                   std::uint16_t lineNumber, std::uint16_t id,
                                                   std::span<const std::uint8_t> bytes);

}  // namespace corvex
