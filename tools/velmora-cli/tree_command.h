#pragma once

#include <filesystem>
#include <iosfwd>

namespace velmora::cli {

// Prints the folder tree, two spaces of indent per level, each folder as
// "NAME (MESSAGES) [NID]". Returns the process exit code.
int RunTree(const std::filesystem::path& store, std::ostream& out);

}  // namespace velmora::cli
