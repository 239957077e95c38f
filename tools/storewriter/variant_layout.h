// Every size and offset in which the three store variants differ, chosen once
// per writer so that the rest of the writer stays variant-neutral.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/little_endian.h"
#include "tools/storewriter/writer_options.h"

namespace velmora::storewriter {

// The allocation maps account for the file in slots of this many bytes.
constexpr std::uint64_t kSlotSize = 64;

struct VariantLayout {
    Variant variant;
    std::uint16_t version;  // wVer in the header
    std::size_t headerSize;
    std::size_t idWidth;  // BIDs, file offsets and B-tree keys
    std::size_t pageSize;
    std::size_t pageMetaOffset;     // cEnt, cEntMax, cbEnt, cLevel
    std::size_t pageTrailerOffset;  // ptype ... ; the page CRC covers everything before it
    bool wideEntryCounts;           // cEnt and cEntMax are 16-bit
    std::size_t blockTrailerSize;
    std::size_t blockAlign;
    std::size_t maxBlockData;
    std::size_t subnodeHeaderSize;  // SLBLOCK / SIBLOCK header
    std::uint64_t firstMapOffset;   // the first allocation map page
    std::size_t mapBitsOffset;      // where the bitmap starts inside a map page
    std::size_t mapBitsSize;
    bool hasPageMaps;

    bool Ansi() const { return variant == Variant::kAnsi; }
    bool FourK() const { return variant == Variant::kUnicode4K; }
    std::size_t BbtLeafSize() const { return Ansi() ? 12 : 24; }
    std::size_t NbtLeafSize() const { return Ansi() ? 16 : 32; }
    std::size_t IntermediateSize() const { return 3 * idWidth; }
    std::uint64_t MapCoverage() const { return std::uint64_t{mapBitsSize} * 8 * kSlotSize; }
    // Bytes a block of `cb` stored bytes takes in the file, trailer included.
    std::size_t StoredBlockSize(std::size_t cb) const {
        return (cb + blockTrailerSize + blockAlign - 1) / blockAlign * blockAlign;
    }
};

const VariantLayout& LayoutFor(Variant variant);

// Stores a BID, file offset or B-tree key in the variant's width.
inline void StoreId(const VariantLayout& layout, std::uint8_t* out, std::uint64_t value) {
    if (layout.idWidth == 8) {
        common::StoreLE64(out, value);
    } else {
        common::StoreLE32(out, static_cast<std::uint32_t>(value));
    }
}

}  // namespace velmora::storewriter
