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

// The low surrogates that stand for the bytes 0x80 to 0xFF of a name that is no UTF-8.
constexpr char16_t kEscapedByteBase = 0xDC00;

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

// The length of the well-formed UTF-8 sequence at `i`, or 0. Overlong forms,
// encoded surrogates and code points past U+10FFFF are not well formed: they
// would not turn back into the same bytes.
std::size_t WellFormedLength(std::string_view bytes, std::size_t i) {
    const auto at = [&](std::size_t k) {
        return i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
    };
    const unsigned char lead = at(0);
    const auto continuation = [&](std::size_t k) { return InRange(at(k), 0x80, 0xBF); };
    if (lead < 0x80) return 1;
    if (InRange(lead, 0xC2, 0xDF)) return continuation(1) ? 2 : 0;
    if (InRange(lead, 0xE0, 0xEF)) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return InRange(at(1), low, high) && continuation(2) ? 3 : 0;
    }
    if (InRange(lead, 0xF0, 0xF4)) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return InRange(at(1), low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

bool IsEscapedByte(char16_t c) {
    return c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF;
}

}  // namespace

std::u16string PathBytesToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = WellFormedLength(bytes, i);
        if (length == 0) {
            text += static_cast<char16_t>(kEscapedByteBase + static_cast<unsigned char>(bytes[i]));
            ++i;
            continue;
        }
        text += Utf8ToUtf16(bytes.substr(i, length));
        i += length;
    }
    return text;
}

std::string Utf16ToPathBytes(std::u16string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair =
            IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
        if (!pair && IsEscapedByte(text[i])) {
            bytes += static_cast<char>(text[i] - kEscapedByteBase);
            continue;
        }
        bytes += Utf16ToUtf8(text.substr(i, pair ? 2 : 1));
        if (pair) ++i;
    }
    return bytes;
}

#ifdef _WIN32
// Windows names are UTF-16 already.
std::filesystem::path PathFromUtf16(std::u16string_view text) {
    return std::filesystem::path(std::u16string(text));
}

std::u16string PathToUtf16(const std::filesystem::path& path) {
    return path.u16string();
}
#else
std::filesystem::path PathFromUtf16(std::u16string_view text) {
    return std::filesystem::path(Utf16ToPathBytes(text));
}

std::u16string PathToUtf16(const std::filesystem::path& path) {
    return PathBytesToUtf16(path.native());
}
#endif

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
