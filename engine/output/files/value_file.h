// Out-of-line property values handed to the viewer as files: each value gets
// a file of its own under the temporary root, named by a fresh UUID.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "engine/interface/corvex_engine.h"

namespace corvex {

inline constexpr char16_t kValueFileFolder[] = u"" CORVEX_VALUE_FILE_FOLDER;

// Writes `bytes` to TempRoot/GUIDTempFiles/<uuid> (no extension) and returns
// that path. The folder is made by the session's start-up, not here. If the
// file cannot be written the path is still returned: the viewer then finds a
// missing or empty file, which it treats as an empty value. Files are never
// removed by the engine.
std::filesystem::path WriteValueFile(const std::filesystem::path& tempRoot,
                                     std::span<const std::uint8_t> bytes);

}  // namespace corvex
