// Little-endian field access over untrusted bytes. A field that does not lie
// wholly inside the buffer reads as zero, so callers never index past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace common {

using Bytes = std::span<const std::uint8_t>;

template <typename T>
inline T LoadLE(Bytes bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return 0;
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<T>(static_cast<T>(bytes[offset + i]) << (8 * i));
    }
    return value;
}

// Reads a field of `width` bytes (4 or 8) widened to 64 bits: BIDs and IBs are
// 32-bit in ANSI stores and 64-bit in the others.
inline std::uint64_t LoadWidth(Bytes bytes, std::size_t offset, std::size_t width) {
    return width == 8 ? LoadLE<std::uint64_t>(bytes, offset) : LoadLE<std::uint32_t>(bytes, offset);
}

inline void StoreLE16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void StoreLE32(std::uint8_t* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void StoreLE64(std::uint8_t* out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace common
