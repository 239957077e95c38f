// The CRC-32 the store format puts in headers, pages and block trailers:
// the reflected 0xEDB88320 polynomial, started at zero, with no final xor.
#pragma once

#include <cstdint>
#include <span>

namespace velmora::storewriter {

std::uint32_t FormatCrc(std::span<const std::uint8_t> bytes);

}  // namespace velmora::storewriter
