// The value of an ExportedProp: its own bytes, or the whole content of the
// value file its bytes name.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// The first entry with this property id, or null when there is none (a null
// map and a null entry count as absent).
const ExportedProp* FindProp(const ExportedPropMap* map, std::uint16_t id);

// The path a value held in a file is read from (the in-file bytes as UTF-16, up to the NUL).
std::u16string ValueFilePath(const ExportedProp& prop);

// The whole content of the value file the prop names, which the engine
// session holding the value writes first if it has not yet; false when it
// cannot be written or read.
bool ReadValueFile(const ExportedProp& prop, std::vector<std::uint8_t>& content);

// The value's bytes. A value file that is missing or unreadable reads as an empty value.
std::vector<std::uint8_t> ValueBytes(const ExportedProp& prop);

// At most the first `limit` bytes of the value, reading no more of a value
// file than that; a file that is missing or unreadable reads as an empty value.
std::vector<std::uint8_t> ValuePrefix(const ExportedProp& prop, std::size_t limit);

// The first N bytes of a value, zeros after a shorter one: how a number or a
// GUID is read from a value of any length. An empty value (a zero-length
// property, or a value file that is gone) has no bytes to copy from at all,
// and reads as zero.
template <std::size_t N>
std::array<std::uint8_t, N> LeadingBytes(const std::vector<std::uint8_t>& bytes) {
    std::array<std::uint8_t, N> field{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), field.begin());
    return field;
}

// The value's length in bytes, without reading a value file (which is
// written first, though, if it has not been yet).
std::uint64_t ValueSize(const ExportedProp& prop);

// The value bytes followed by zero bytes (3 after a value from a file, 4
// otherwise), so that they read as terminated 8-bit or UTF-16 text.
std::vector<std::uint8_t> ValueBytesTerminated(const ExportedProp& prop);

// The whole content of the file; false when it cannot be opened or read.
bool ReadWholeFile(const std::u16string& path, std::vector<std::uint8_t>& content);

// Creates (truncates) `target` and writes the value bytes into it as they
// stand; false when the file cannot be written.
bool WriteDataFile(const ExportedProp& prop, const std::u16string& target);

}  // namespace velmora
