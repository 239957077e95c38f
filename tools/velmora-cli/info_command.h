#pragma once

#include <filesystem>
#include <iosfwd>

namespace velmora::cli {

// Prints a summary of the store; returns the process exit code.
int RunInfo(const std::filesystem::path& store, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli
