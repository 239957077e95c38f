// Raw bytes to a file, the way every value the engine writes goes to disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace corvex {

// Creates or truncates `path` and writes `bytes` unchanged. False when the
// file could not be opened or written; callers skip such a file silently.
bool WriteBinaryFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace corvex
