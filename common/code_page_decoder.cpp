#include "common/code_page_decoder.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include <iconv.h>

namespace common {
namespace {

struct CodePageName {
    std::uint32_t codePage;
    const char* iconvName;
    bool singleByte;
};

// The Windows code pages that mail stores carry, by their iconv names.
constexpr CodePageName kCodePages[] = {
    {437, "CP437", true},
    {850, "CP850", true},
    {866, "CP866", true},
    {874, "CP874", true},
    {932, "CP932", false},
    {936, "CP936", false},
    {949, "CP949", false},
    {950, "CP950", false},
    {1250, "CP1250", true},
    {1251, "CP1251", true},
    {1252, "CP1252", true},
    {1253, "CP1253", true},
    {1254, "CP1254", true},
    {1255, "CP1255", true},
    {1256, "CP1256", true},
    {1257, "CP1257", true},
    {1258, "CP1258", true},
    {10000, "MACINTOSH", true},
    {20127, "CP1252", true},  // labelled US-ASCII, but 8-bit bytes still occur
    {20866, "KOI8-R", true},
    {21866, "KOI8-U", true},
    {28591, "ISO-8859-1", true},
    {28592, "ISO-8859-2", true},
    {28593, "ISO-8859-3", true},
    {28594, "ISO-8859-4", true},
    {28595, "ISO-8859-5", true},
    {28596, "ISO-8859-6", true},
    {28597, "ISO-8859-7", true},
    {28598, "ISO-8859-8", true},
    {28599, "ISO-8859-9", true},
    {28600, "ISO-8859-10", true},
    {28601, "ISO-8859-11", true},
    {28603, "ISO-8859-13", true},
    {28604, "ISO-8859-14", true},
    {28605, "ISO-8859-15", true},
    {50220, "ISO-2022-JP-2", false},
    {50221, "ISO-2022-JP-2", false},
    {50222, "ISO-2022-JP-2", false},
    {51932, "EUC-JP-MS", false},
    {51949, "EUC-KR", false},
    {54936, "GB18030", false},
    {65001, "UTF-8", false},
};

const CodePageName* FindCodePage(std::uint32_t codePage) {
    const auto* end = std::end(kCodePages);
    const auto* found =
        std::find_if(std::begin(kCodePages), end,
                     [codePage](const CodePageName& entry) { return entry.codePage == codePage; });
    return found != end ? found : nullptr;
}

const CodePageName& CodePageOrWestern(std::uint32_t codePage) {
    const CodePageName* found = FindCodePage(codePage);
    return found != nullptr ? *found : *FindCodePage(kWindowsWesternCodePage);
}

void AppendUtf16Le(const char* bytes, std::size_t size, std::u16string& out) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        out += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                     (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
}

}  // namespace

CodePageDecoder::CodePageDecoder(std::uint32_t codePage) {
    const CodePageName& name = CodePageOrWestern(codePage);
    singleByte_ = name.singleByte;
    const iconv_t converter = ::iconv_open("UTF-16LE", name.iconvName);
    if (converter != reinterpret_cast<iconv_t>(-1)) converter_ = converter;
}

CodePageDecoder::~CodePageDecoder() {
    if (converter_ != nullptr) ::iconv_close(static_cast<iconv_t>(converter_));
}

bool CodePageDecoder::IsKnown(std::uint32_t codePage) {
    return FindCodePage(codePage) != nullptr;
}

std::u16string CodePageDecoder::Decode(std::span<const std::uint8_t> bytes) const {
    const auto nul = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    std::string input(bytes.begin(), nul);
    std::u16string out;
    if (converter_ == nullptr) {
        for (const char c : input) out += static_cast<char16_t>(static_cast<unsigned char>(c));
        return out;
    }
    auto* converter = static_cast<iconv_t>(converter_);
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
    char* in = input.data();
    std::size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = ::iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        AppendUtf16Le(buffer, sizeof buffer - outLeft, out);
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // An undefined or truncated sequence: one byte is replaced and skipped.
        out += singleByte_ ? static_cast<char16_t>(static_cast<unsigned char>(*in)) : u'\uFFFD';
        ++in;
        --inLeft;
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(converter, nullptr, nullptr, &outPtr, &outLeft);  // flush a pending shift sequence
    AppendUtf16Le(buffer, sizeof buffer - outLeft, out);
    return out;
}

}  // namespace common
