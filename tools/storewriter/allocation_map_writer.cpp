#include "tools/storewriter/allocation_map_writer.h"

#include <algorithm>

#include "tools/storewriter/page_trailer.h"

namespace velmora::storewriter {

bool AllocationMapWriter::Write(std::uint64_t fileEnd, MapSummary& summary) {
    summary = {};
    for (std::size_t region = 0; region < allocator_.RegionCount(); ++region) {
        const std::uint64_t start = allocator_.RegionStart(region);
        if (!WriteAMap(start, fileEnd, summary)) return false;
        if (allocator_.RegionHasPageMap(region) && !WritePMap(start + layout_.pageSize))
            return false;
        summary.lastAMap = start;
    }
    return true;
}

bool AllocationMapWriter::WriteAMap(std::uint64_t regionStart, std::uint64_t fileEnd,
                                    MapSummary& summary) {
    page_.assign(layout_.pageSize, 0);
    std::uint8_t* bits = page_.data() + layout_.mapBitsOffset;
    const std::uint64_t slots = layout_.MapCoverage() / kSlotSize;
    for (std::uint64_t i = 0; i < slots; ++i) {
        const std::uint64_t offset = regionStart + i * kSlotSize;
        if (offset >= fileEnd || allocator_.SlotUsed(offset)) {
            bits[i / 8] = static_cast<std::uint8_t>(bits[i / 8] | (0x80u >> (i % 8)));
        } else {
            summary.amapFree += kSlotSize;
        }
    }
    SealPage(layout_, page_, kPtypeAllocationMap, 0, regionStart);
    return spool_.WriteAt(regionStart, page_);
}

// Pages are never handed out one by one here, so the PMap marks them all taken.
bool AllocationMapWriter::WritePMap(std::uint64_t at) {
    page_.assign(layout_.pageSize, 0);
    std::fill_n(page_.begin() + static_cast<std::ptrdiff_t>(layout_.mapBitsOffset),
                layout_.mapBitsSize, 0xFF);
    SealPage(layout_, page_, kPtypePageMap, 0, at);
    return spool_.WriteAt(at, page_);
}

}  // namespace velmora::storewriter
