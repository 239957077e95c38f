#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

namespace velmora::cli {

// Writes the whole store as JSON: "store" (the path as given), "version"
// (wVer), "variant" and "folders", the root folders in the engine's order,
// each with its "messages" and, nested, its "folders". Returns the process
// exit code.
int RunDump(const std::filesystem::path& store, std::ostream& out);

// "Ansi", "Unicode" or "Unicode4K"; empty for a version without a binding.
std::string DumpVariantName(std::uint16_t version);

}  // namespace velmora::cli
