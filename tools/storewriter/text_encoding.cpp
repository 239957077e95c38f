#include "tools/storewriter/text_encoding.h"

namespace velmora::storewriter {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The length of the sequence a lead byte starts, 0 for a byte that cannot lead.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

void PutUnit(std::vector<std::uint8_t>& out, char32_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
}

}  // namespace

std::vector<char32_t> DecodeUtf8(std::string_view text) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = SequenceLength(lead);
        if (length == 0 || i + length > text.size()) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(c);
        i += length;
    }
    return out;
}

std::vector<std::uint8_t> EncodeUtf16(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() * 2);
    for (const char32_t c : DecodeUtf8(text)) {
        if (c < 0x10000) {
            PutUnit(out, c);
        } else {
            PutUnit(out, 0xD800 + ((c - 0x10000) >> 10));
            PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::vector<std::uint8_t> EncodeSingleByte(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size());
    for (const char32_t c : DecodeUtf8(text))
        out.push_back(c <= 0xFF ? static_cast<std::uint8_t>(c) : '?');
    return out;
}

}  // namespace velmora::storewriter
