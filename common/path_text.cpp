#include "common/path_text.h"

#include "common/utf16_text.h"

namespace common {
namespace {

// UTF-8 bytes of the character starting at `i` and its length in UTF-16 units.
// A lone surrogate becomes U+FFFD, three bytes.
std::pair<std::size_t, std::size_t> NextCharacterSize(std::u16string_view text, std::size_t i) {
    const char16_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) return {4, 2};
    if (c < 0x80) return {1, 1};
    if (c < 0x800) return {2, 1};
    return {3, 1};
}

}  // namespace

std::filesystem::path PathFromUtf16(std::u16string_view text) {
    const std::string utf8 = Utf16ToUtf8(text);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::u16string PathToUtf16(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::u16string CapUtf8Bytes(std::u16string_view text, std::size_t maxBytes) {
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto [size, units] = NextCharacterSize(text, i);
        if (bytes + size > maxBytes) break;
        bytes += size;
        i += units;
    }
    return std::u16string(text.substr(0, i));
}

}  // namespace common
