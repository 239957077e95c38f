// The 16-byte header in front of a compressed RTF stream, and the most output
// its data bytes can produce, which bounds every size taken from the header.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmora {

inline constexpr std::uint32_t kCompressedRtfMagic = 0x75465A4C;    // "LZFu"
inline constexpr std::uint32_t kUncompressedRtfMagic = 0x414C454D;  // "MELA"
inline constexpr int kCompressedRtfHeaderSize = 16;

struct CompressedRtfHeader {
    std::uint32_t size = 0;     // cbSize: stream length minus 4
    std::uint32_t rawSize = 0;  // cbRawSize: declared output size, without the end reference
    std::uint32_t magic = 0;
    std::uint32_t crc = 0;
    int dataLength = 0;  // bytes after the header

    bool IsCompressed() const { return magic == kCompressedRtfMagic; }
};

// Reads the header of `stream` (`length` bytes). Returns an empty text when the
// stream is long enough, has a known magic and a cbSize that matches its length;
// otherwise the reason it is not a stream.
std::string_view ParseCompressedRtfHeader(const std::uint8_t* stream, int length,
                                          CompressedRtfHeader& header);

// The most bytes the data can decode to. A compressed group is one control byte
// and at most 8 references of 2 bytes, each producing at most 17 bytes: 17 bytes
// in, 136 out, so never more than 8 output bytes per data byte. Stored ("MELA")
// data decodes to itself.
std::int64_t MaxOutputSize(const CompressedRtfHeader& header);

// The capacity a decode needs: the declared raw size plus `extra`, capped by
// what the data can produce and by the int range.
int BoundedRawSize(const CompressedRtfHeader& header, int extra);

}  // namespace velmora
