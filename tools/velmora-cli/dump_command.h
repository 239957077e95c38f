#pragma once

#include <filesystem>
#include <iosfwd>

namespace velmora::cli {

// Writes the store as JSON: "top" (the name of the top of the personal
// folders) and "folders", that folder and every folder below it with its
// "path", "nid" and "items". A store without a top folder lists its root
// folders instead, under an empty "top". Returns the process exit code.
int RunDump(const std::filesystem::path& store, std::ostream& out);

}  // namespace velmora::cli
