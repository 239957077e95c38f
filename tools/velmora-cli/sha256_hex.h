// SHA-256 digests as the lower-case hex text `dump` writes.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace velmora::cli {

// 64 lower-case hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);
std::string Sha256Hex(std::string_view text);

}  // namespace velmora::cli
