// Byte builders and file readers shared by the output tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/output/files/property_view.h"

namespace corvex::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Utf16Le(std::u16string_view text, bool terminated = true) {
    Bytes bytes;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    if (terminated) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

inline Bytes LittleEndian(std::uint64_t value, std::size_t width) {
    Bytes bytes(width);
    for (std::size_t i = 0; i < width; ++i, value >>= 8)
        bytes[i] = static_cast<std::uint8_t>(value);
    return bytes;
}

inline PropertyView View(std::uint16_t id, std::uint16_t type, const Bytes& bytes,
                         bool outOfLine = false) {
    return PropertyView{id, type, bytes, outOfLine};
}

inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::string Utf8(const std::u8string& text) {
    return {text.begin(), text.end()};
}

}  // namespace corvex::test
