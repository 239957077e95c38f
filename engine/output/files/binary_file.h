// Raw bytes to a file, the way every value the engine writes goes to disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace corvex {

// Creates or truncates `path` and writes `bytes` unchanged. False when the
// file could not be opened or written; callers skip such a file silently.
bool WriteBinaryFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

enum class NewFileResult { kWritten, kTaken, kFailed };

// Creates `path` only if nothing is there yet, not even a dangling symbolic
// link, and writes `bytes` unchanged: kTaken when the name is in use, kFailed
// when the file could not be made or written for another reason.
NewFileResult WriteNewBinaryFile(const std::filesystem::path& path,
                                 std::span<const std::uint8_t> bytes);

}  // namespace corvex
