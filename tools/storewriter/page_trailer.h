// The trailer that closes every page (B-tree and allocation map pages) and the
// signature that pages and blocks carry to tie them to their place in the file.
#pragma once

#include <cstdint>
#include <span>

#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

constexpr std::uint8_t kPtypeBbt = 0x80;
constexpr std::uint8_t kPtypeNbt = 0x81;
constexpr std::uint8_t kPtypePageMap = 0x83;
constexpr std::uint8_t kPtypeAllocationMap = 0x84;

// wSig: the offset folded with the BID, so a page or block read from the wrong
// place is noticed.
std::uint16_t PlacementSignature(std::uint64_t ib, std::uint64_t bid);

// Writes ptype, signature, CRC of everything before the trailer and the BID
// into the trailer of `page` (one full page image).
void SealPage(const VariantLayout& layout, std::span<std::uint8_t> page, std::uint8_t ptype,
              std::uint16_t signature, std::uint64_t bid);

}  // namespace velmora::storewriter
