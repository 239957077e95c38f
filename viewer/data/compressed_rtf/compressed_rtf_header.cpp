#include "viewer/data/compressed_rtf/compressed_rtf_header.h"

#include <algorithm>
#include <limits>

namespace velmora {
namespace {

constexpr std::int64_t kMaxOutputPerDataByte = 8;

std::uint32_t LoadUint32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace

std::string_view ParseCompressedRtfHeader(const std::uint8_t* stream, int length,
                                          CompressedRtfHeader& header) {
    if (stream == nullptr || length < kCompressedRtfHeaderSize)
        return "stream shorter than its header";
    CompressedRtfHeader read;
    read.size = LoadUint32(stream);
    read.rawSize = LoadUint32(stream + 4);
    read.magic = LoadUint32(stream + 8);
    read.crc = LoadUint32(stream + 12);
    read.dataLength = length - kCompressedRtfHeaderSize;
    if (read.magic != kCompressedRtfMagic && read.magic != kUncompressedRtfMagic) {
        return "unknown stream magic";
    }
    // Compared in 64 bits: a cbSize below 12 must not wrap round to a match.
    if (static_cast<std::int64_t>(read.size) - 12 != read.dataLength) {
        return "stream size does not match its header";
    }
    header = read;
    return {};
}

std::int64_t MaxOutputSize(const CompressedRtfHeader& header) {
    const std::int64_t data = header.dataLength;
    return header.IsCompressed() ? data * kMaxOutputPerDataByte : data;
}

int BoundedRawSize(const CompressedRtfHeader& header, int extra) {
    const std::int64_t declared = static_cast<std::int64_t>(header.rawSize) + extra;
    const std::int64_t bounded = std::min(declared, MaxOutputSize(header));
    return static_cast<int>(std::min<std::int64_t>(bounded, std::numeric_limits<int>::max()));
}

}  // namespace velmora
