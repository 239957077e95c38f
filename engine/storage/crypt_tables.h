// Substitution tables of the block encoding (crypt methods 1 and 2).
#pragma once

#include <array>
#include <cstdint>

namespace corvex {

extern const std::array<std::uint8_t, 256> kCryptTableR;
extern const std::array<std::uint8_t, 256> kCryptTableS;
extern const std::array<std::uint8_t, 256> kCryptTableI;

}  // namespace corvex
