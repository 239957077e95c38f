// Hands out file space for blocks and pages, past the header and around the
// allocation map pages, and remembers which 64-byte slots are in use so the
// maps can be written at the end.
//
// The maps divide the file into regions from the first map page on; each
// region starts with its own AMap page (followed, in every eighth region of the
// 512-byte-page variants, by a PMap page) and spans what one AMap describes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

class SpaceAllocator {
  public:
    explicit SpaceAllocator(const VariantLayout& layout);

    // The offset of `size` fresh bytes aligned to `alignment`, never crossing
    // into the next region, so a block or page is always described by one map.
    std::uint64_t Allocate(std::uint64_t size, std::uint64_t alignment);

    // One past the last byte handed out (or reserved for maps).
    std::uint64_t End() const { return end_; }
    std::size_t RegionCount() const;
    std::uint64_t RegionStart(std::size_t region) const;
    bool RegionHasPageMap(std::size_t region) const;
    bool SlotUsed(std::uint64_t offset) const;

  private:
    std::uint64_t ReservedEnd(std::size_t region) const;
    std::size_t RegionOf(std::uint64_t offset) const;
    void Mark(std::uint64_t offset, std::uint64_t size);

    const VariantLayout& layout_;
    std::uint64_t cursor_;
    std::uint64_t end_;
    std::vector<std::uint8_t> used_;  // one bit per slot, from file offset 0
};

}  // namespace velmora::storewriter
