// Removal (and, for our store writer, application) of the byte encoding that a
// store's crypt method puts on its external data blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvex {

enum class CryptMethod : std::uint8_t { kNone = 0, kPermute = 1, kCyclic = 2 };

void DecodePermute(std::uint8_t* data, std::size_t size);
void EncodePermute(std::uint8_t* data, std::size_t size);
// Cyclic encoding is its own inverse: the same call encodes and decodes.
void DecodeCyclic(std::uint8_t* data, std::size_t size, std::uint32_t key);

// Decodes in place by the header's crypt method byte; any value other than 1 or
// 2 leaves the bytes as they are. `bid` supplies the cyclic key (its low 32 bits).
void DecodeBlock(std::uint8_t* data, std::size_t size, std::uint8_t cryptMethod, std::uint64_t bid);
void EncodeBlock(std::uint8_t* data, std::size_t size, std::uint8_t cryptMethod, std::uint64_t bid);

}  // namespace corvex
