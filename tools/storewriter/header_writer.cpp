#include "tools/storewriter/header_writer.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "common/little_endian.h"
#include "tools/storewriter/format_crc.h"

namespace velmora::storewriter {
namespace {

using common::StoreLE16;
using common::StoreLE32;
using common::StoreLE64;

constexpr std::uint16_t kClientVersion = 19;
constexpr std::uint8_t kPlatform = 1;
constexpr std::uint8_t kSentinel = 0x80;
constexpr std::uint8_t kAMapValidAnsi = 1;
constexpr std::uint8_t kAMapValidWide = 2;
constexpr std::size_t kPartialCrcStart = 8;
constexpr std::size_t kPartialCrcSize = 471;
constexpr std::size_t kFullCrcSize = 516;

// The bytes every variant shares: magic, client magic, versions, platform.
void PutCommon(std::span<std::uint8_t> h, const VariantLayout& layout) {
    constexpr std::string_view kMagic = "!BDN";
    constexpr std::string_view kClientMagic = "SM";
    std::copy(kMagic.begin(), kMagic.end(), h.begin());
    std::copy(kClientMagic.begin(), kClientMagic.end(), h.begin() + 8);
    common::StoreLE16(h.data() + 10, layout.version);
    common::StoreLE16(h.data() + 12, kClientVersion);
    h[14] = kPlatform;
    h[15] = kPlatform;
}

void PutNextNids(std::uint8_t* out, const HeaderFields& f) {
    for (std::size_t i = 0; i < f.nextNidIndex.size(); ++i)
        common::StoreLE32(out + 4 * i, f.nextNidIndex[i]);
}

void PutAnsi(std::uint8_t* h, const HeaderFields& f) {
    common::StoreLE32(h + 24, static_cast<std::uint32_t>(f.nextBid));
    common::StoreLE32(h + 28, static_cast<std::uint32_t>(f.nextPageBid));
    common::StoreLE32(h + 32, f.unique);
    PutNextNids(h + 36, f);
    common::StoreLE32(h + 168, static_cast<std::uint32_t>(f.fileEof));
    common::StoreLE32(h + 172, static_cast<std::uint32_t>(f.maps.lastAMap));
    common::StoreLE32(h + 176, static_cast<std::uint32_t>(f.maps.amapFree));
    common::StoreLE32(h + 180, static_cast<std::uint32_t>(f.maps.pmapFree));
    common::StoreLE32(h + 184, static_cast<std::uint32_t>(f.nodeRoot.bid));
    common::StoreLE32(h + 188, static_cast<std::uint32_t>(f.nodeRoot.ib));
    common::StoreLE32(h + 192, static_cast<std::uint32_t>(f.blockRoot.bid));
    common::StoreLE32(h + 196, static_cast<std::uint32_t>(f.blockRoot.ib));
    h[200] = kAMapValidAnsi;
    h[460] = kSentinel;
    h[461] = f.cryptMethod;
}

void PutWide(std::uint8_t* h, const HeaderFields& f) {
    common::StoreLE64(h + 32, f.nextPageBid);
    common::StoreLE32(h + 40, f.unique);
    PutNextNids(h + 44, f);
    common::StoreLE64(h + 184, f.fileEof);
    common::StoreLE64(h + 192, f.maps.lastAMap);
    common::StoreLE64(h + 200, f.maps.amapFree);
    common::StoreLE64(h + 208, f.maps.pmapFree);
    common::StoreLE64(h + 216, f.nodeRoot.bid);
    common::StoreLE64(h + 224, f.nodeRoot.ib);
    common::StoreLE64(h + 232, f.blockRoot.bid);
    common::StoreLE64(h + 240, f.blockRoot.ib);
    h[248] = kAMapValidWide;
    h[512] = kSentinel;
    h[513] = f.cryptMethod;
    common::StoreLE64(h + 516, f.nextBid);
}

}  // namespace

std::vector<std::uint8_t> BuildHeader(const VariantLayout& layout, const HeaderFields& fields) {
    std::vector<std::uint8_t> header(layout.headerSize, 0);
    std::uint8_t* h = header.data();
    PutCommon(header, layout);
    if (layout.Ansi()) {
        PutAnsi(h, fields);
    } else {
        PutWide(h, fields);
        common::StoreLE32(h + kPartialCrcStart + kFullCrcSize,
                          FormatCrc({h + kPartialCrcStart, kFullCrcSize}));
    }
    common::StoreLE32(h + 4, FormatCrc({h + kPartialCrcStart, kPartialCrcSize}));
    return header;
}

}  // namespace velmora::storewriter
