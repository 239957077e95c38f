// UTF-16 names and the platform's paths: the one conversion every layer uses
// for text that names a file. Names cross as UTF-8 on every platform (char8_t
// input), so no code page of the process is involved.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace common {

// The longest file or directory name, in bytes of its UTF-8 form, that common
// Linux file systems accept; Windows allows 255 UTF-16 units, which is never
// less.
inline constexpr std::size_t kMaxComponentBytes = 255;

// The platform's separator as it is appended to working-folder paths that
// cross the engine boundary as text.
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// A file name's bytes and the UTF-16 text that carries them across the engine
// boundary and through the window. Valid UTF-8 decodes as usual; each byte of
// anything else (a Latin-1 name from an old disk) becomes the lone low
// surrogate U+DC00 + byte, which turns back into that byte, so every name the
// file system holds survives the round trip exactly.
std::u16string PathBytesToUtf16(std::string_view bytes);
std::string Utf16ToPathBytes(std::u16string_view text);

// The same conversion to and from the platform's path type.
std::filesystem::path PathFromUtf16(std::u16string_view text);
std::u16string PathToUtf16(const std::filesystem::path& path);

// The longest prefix of `text` whose UTF-8 form fits in `maxBytes`; a
// surrogate pair is kept or dropped whole.
std::u16string CapUtf8Bytes(std::u16string_view text, std::size_t maxBytes);

}  // namespace common
