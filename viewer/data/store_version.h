// Which engine library reads a store: chosen from the 16-bit format version at
// byte offset 10 of the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmora {

enum class EngineVariant { kAnsi, kUnicode, kUnicode4K };

// The store's wVer, or nothing when the file cannot be read that far.
std::optional<std::uint16_t> ReadStoreVersion(const std::filesystem::path& store);

// 14 and 15 -> ANSI, 21 and 23 -> Unicode, 36 -> Unicode 4K; other versions are not ours.
std::optional<EngineVariant> VariantForVersion(std::uint16_t version);

// "Corvex32", "Corvex64" or "Corvex64K".
std::string LibraryBaseName(EngineVariant variant);
std::string VariantName(EngineVariant variant);

}  // namespace velmora
