// Compressed RTF as message stores keep it (PR_RTF_COMPRESSED): the 16-byte
// header (sizes, the "LZFu" type and the CRC of the data), then the text as
// literal runs, closed by the reference that marks the end of the stream.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::storewriter {

std::vector<std::uint8_t> CompressRtf(std::string_view rtf);

// CRC-32 with the reflected polynomial 0xEDB88320, starting at 0, no final inversion.
std::uint32_t RtfStreamCrc(std::span<const std::uint8_t> bytes);

}  // namespace velmora::storewriter
