#include "tools/storewriter/rtf_compressor.h"

#include <array>

#include "common/little_endian.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint32_t kCompressedType = 0x75465A4C;  // "LZFu"
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kDictionarySize = 4096;
constexpr std::size_t kPresetLength = 207;  // the dictionary's preloaded text
constexpr std::size_t kItemsPerGroup = 8;

std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// The end marker: a reference to the dictionary's current write position.
void AppendEndReference(std::vector<std::uint8_t>& data, std::size_t literals) {
    const std::size_t position = (kPresetLength + literals) % kDictionarySize;
    data.push_back(static_cast<std::uint8_t>(position >> 4));
    data.push_back(static_cast<std::uint8_t>((position & 0x0F) << 4));
}

}  // namespace

std::uint32_t RtfStreamCrc(std::span<const std::uint8_t> bytes) {
    static const std::array<std::uint32_t, 256> kTable = MakeCrcTable();
    std::uint32_t crc = 0;
    for (const std::uint8_t b : bytes) crc = kTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc;
}

std::vector<std::uint8_t> CompressRtf(std::string_view rtf) {
    std::vector<std::uint8_t> out(kHeaderSize, 0);
    for (std::size_t at = 0; at <= rtf.size(); at += kItemsPerGroup) {
        const std::size_t literals = std::min(kItemsPerGroup, rtf.size() - at);
        // The end reference follows the last literal, in this group if it has room.
        const bool endsHere = literals < kItemsPerGroup;
        out.push_back(endsHere ? static_cast<std::uint8_t>(1u << literals) : 0);
        out.insert(out.end(), rtf.begin() + static_cast<std::ptrdiff_t>(at),
                   rtf.begin() + static_cast<std::ptrdiff_t>(at + literals));
        if (endsHere) AppendEndReference(out, rtf.size());
    }
    common::StoreLE32(out.data(), static_cast<std::uint32_t>(out.size() - 4));
    common::StoreLE32(out.data() + 4, static_cast<std::uint32_t>(rtf.size()));
    common::StoreLE32(out.data() + 8, kCompressedType);
    common::StoreLE32(out.data() + 12, RtfStreamCrc(std::span(out).subspan(kHeaderSize)));
    return out;
}

}  // namespace velmora::storewriter
