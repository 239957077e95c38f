#include "common/uuid_text.h"

#include <array>
#include <cstdint>
#include <random>

namespace common {
namespace {

// One generator per thread, seeded from the system's random source, so that
// worker threads never share state.
std::array<std::uint8_t, 16> RandomUuidBytes() {
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(),
                           device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        std::uint64_t word = generator();
        for (std::size_t k = 0; k < 8; ++k, word >>= 8)
            bytes[i + k] = static_cast<std::uint8_t>(word);
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return bytes;
}

}  // namespace

std::u16string NewUuidText() {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    const std::array<std::uint8_t, 16> bytes = RandomUuidBytes();
    std::u16string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += u'-';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace common
