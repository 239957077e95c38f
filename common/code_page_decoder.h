// 8-bit text in one of the Windows code pages, widened to UTF-16. Wraps the C
// library's iconv; a Windows build can swap in MultiByteToWideChar behind the
// same class.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace common {

inline constexpr std::uint32_t kWindowsWesternCodePage = 1252;

class CodePageDecoder {
  public:
    // An unknown code page decodes as Windows-1252.
    explicit CodePageDecoder(std::uint32_t codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    // The text up to the first NUL byte (or the end). A byte sequence the code
    // page does not define becomes U+FFFD, except in single-byte code pages,
    // where the byte keeps its own value, as the Windows converter does.
    std::u16string Decode(std::span<const std::uint8_t> bytes) const;

    // Whether the code page is one of those this class knows by name.
    static bool IsKnown(std::uint32_t codePage);

  private:
    void* converter_ = nullptr;  // iconv_t
    bool singleByte_ = true;
};

}  // namespace common
