#include "common/uuid_text.h"

#include <random>

namespace common {
namespace {

constexpr char16_t kDigits[] = u"0123456789abcdef";

// Where the text has its "-" separators: before bytes 4, 6, 8 and 10.
bool HasSeparatorBefore(std::size_t byte) {
    return byte == 4 || byte == 6 || byte == 8 || byte == 10;
}

int DigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
    return -1;
}

}  // namespace

// One generator per thread, seeded from the system's random source, so that
// worker threads never share state.
UuidBytes NewUuidBytes() {
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(),
                           device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    UuidBytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        std::uint64_t word = generator();
        for (std::size_t k = 0; k < 8; ++k, word >>= 8)
            bytes[i + k] = static_cast<std::uint8_t>(word);
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return bytes;
}

std::u16string UuidText(const UuidBytes& bytes) {
    std::u16string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (HasSeparatorBefore(i)) text += u'-';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::u16string NewUuidText() {
    return UuidText(NewUuidBytes());
}

std::optional<UuidBytes> UuidFromText(std::u16string_view text) {
    if (text.size() != 36) return std::nullopt;
    UuidBytes bytes{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (HasSeparatorBefore(i) && text[at++] != u'-') return std::nullopt;
        const int high = DigitValue(text[at++]);
        const int low = DigitValue(text[at++]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return bytes;
}

}  // namespace common
