#pragma once

#include <filesystem>
#include <iosfwd>

namespace velmora::cli {

// Prints a summary of the store: version, variant, crypt method, folder and
// message counts, blocks and nodes by type. Returns the process exit code.
int RunInfo(const std::filesystem::path& store, std::ostream& out);

}  // namespace velmora::cli
