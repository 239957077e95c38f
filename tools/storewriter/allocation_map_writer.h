// Writes the allocation map pages once everything else has its place: each
// region's AMap (one bit per 64-byte slot, set when the slot is in use) and
// the PMap pages that the 512-byte-page variants keep beside some of them.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/storewriter/space_allocator.h"
#include "tools/storewriter/spool_file.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

// What the header says about the maps.
struct MapSummary {
    std::uint64_t lastAMap = 0;
    std::uint64_t amapFree = 0;  // free bytes inside the file
    std::uint64_t pmapFree = 0;
};

class AllocationMapWriter {
  public:
    AllocationMapWriter(const VariantLayout& layout, const SpaceAllocator& allocator,
                        SpoolFile& spool)
        : layout_(layout), allocator_(allocator), spool_(spool) {}

    // Maps the file up to `fileEnd`; slots past the end count as used, so that
    // space the file does not have is never offered as free. False when the
    // file refused a page.
    bool Write(std::uint64_t fileEnd, MapSummary& summary);

  private:
    bool WriteAMap(std::uint64_t regionStart, std::uint64_t fileEnd, MapSummary& summary);
    bool WritePMap(std::uint64_t at);

    const VariantLayout& layout_;
    const SpaceAllocator& allocator_;
    SpoolFile& spool_;
    std::vector<std::uint8_t> page_;
};

}  // namespace velmora::storewriter
