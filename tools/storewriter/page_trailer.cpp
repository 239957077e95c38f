#include "tools/storewriter/page_trailer.h"

#include "common/little_endian.h"
#include "tools/storewriter/format_crc.h"

namespace velmora::storewriter {

std::uint16_t PlacementSignature(std::uint64_t ib, std::uint64_t bid) {
    const std::uint64_t mixed = ib ^ bid;
    return static_cast<std::uint16_t>((mixed >> 16) ^ mixed);
}

void SealPage(const VariantLayout& layout, std::span<std::uint8_t> page, std::uint8_t ptype,
              std::uint16_t signature, std::uint64_t bid) {
    std::uint8_t* trailer = page.data() + layout.pageTrailerOffset;
    const std::uint32_t crc = FormatCrc(page.first(layout.pageTrailerOffset));
    trailer[0] = ptype;
    trailer[1] = ptype;
    common::StoreLE16(trailer + 2, signature);
    if (layout.Ansi()) {
        common::StoreLE32(trailer + 4, static_cast<std::uint32_t>(bid));
        common::StoreLE32(trailer + 8, crc);
    } else {
        common::StoreLE32(trailer + 4, crc);
        common::StoreLE64(trailer + 8, bid);
    }
}

}  // namespace velmora::storewriter
