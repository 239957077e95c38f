#include "engine/storage/block_codec.h"

#include "engine/storage/crypt_tables.h"

namespace corvex {
namespace {

void MapThrough(std::uint8_t* data, std::size_t size, const std::array<std::uint8_t, 256>& table) {
    for (std::size_t i = 0; i < size; ++i) data[i] = table[data[i]];
}

}  // namespace

void DecodePermute(std::uint8_t* data, std::size_t size) {
    MapThrough(data, size, kCryptTableI);
}

void EncodePermute(std::uint8_t* data, std::size_t size) {
    MapThrough(data, size, kCryptTableR);
}

void DecodeCyclic(std::uint8_t* data, std::size_t size, std::uint32_t key) {
    auto w = static_cast<std::uint16_t>(key ^ (key >> 16));
    for (std::size_t i = 0; i < size; ++i) {
        const auto low = static_cast<std::uint8_t>(w);
        const auto high = static_cast<std::uint8_t>(w >> 8);
        std::uint8_t b = data[i];
        b = kCryptTableR[static_cast<std::uint8_t>(b + low)];
        b = kCryptTableS[static_cast<std::uint8_t>(b + high)];
        b = kCryptTableI[static_cast<std::uint8_t>(b - high)];
        data[i] = static_cast<std::uint8_t>(b - low);
        ++w;
    }
}

void DecodeBlock(std::uint8_t* data, std::size_t size, std::uint8_t cryptMethod,
                 std::uint64_t bid) {
    if (cryptMethod == static_cast<std::uint8_t>(CryptMethod::kPermute)) {
        DecodePermute(data, size);
    } else if (cryptMethod == static_cast<std::uint8_t>(CryptMethod::kCyclic)) {
        DecodeCyclic(data, size, static_cast<std::uint32_t>(bid));
    }
}

void EncodeBlock(std::uint8_t* data, std::size_t size, std::uint8_t cryptMethod,
                 std::uint64_t bid) {
    if (cryptMethod == static_cast<std::uint8_t>(CryptMethod::kPermute)) {
        EncodePermute(data, size);
    } else if (cryptMethod == static_cast<std::uint8_t>(CryptMethod::kCyclic)) {
        DecodeCyclic(data, size, static_cast<std::uint32_t>(bid));
    }
}

}  // namespace corvex
