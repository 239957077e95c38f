// Paths as the UTF-16 text that crosses the engine boundary, and back.
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// The platform's separator as it is appended to working-folder paths.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

std::filesystem::path PathFromText(const std::u16string& text);
std::u16string TextFromPath(const std::filesystem::path& path);

}  // namespace velmora
