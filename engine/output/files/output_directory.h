// Directories of the folder export. A directory that cannot be made is the one
// export failure the user is told about, because everything below it is lost.
#pragma once

#include <filesystem>
#include <string_view>

namespace corvex {

inline constexpr std::string_view kDirectoryErrorCaption = "Corvex";

// True when `directory` exists as a directory or was just created (with any
// missing parents). Otherwise shows "Cannot create folder "<path>": <the
// system's text>" through the engine's message hook, titled `caption`, and
// returns false; the caller then skips the item with everything below it.
// Within one export call each kind of failure is shown once, naming the first
// path it struck.
bool EnsureDirectory(const std::filesystem::path& directory,
                     std::string_view caption = kDirectoryErrorCaption);

}  // namespace corvex
