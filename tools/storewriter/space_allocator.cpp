#include "tools/storewriter/space_allocator.h"

#include <algorithm>

namespace velmora::storewriter {
namespace {

// Every eighth region carries a PMap page after its AMap.
constexpr std::size_t kRegionsPerPageMap = 8;

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

SpaceAllocator::SpaceAllocator(const VariantLayout& layout)
    : layout_(layout), cursor_(ReservedEnd(0)), end_(cursor_) {}

std::uint64_t SpaceAllocator::RegionStart(std::size_t region) const {
    return layout_.firstMapOffset + region * layout_.MapCoverage();
}

bool SpaceAllocator::RegionHasPageMap(std::size_t region) const {
    return layout_.hasPageMaps && region % kRegionsPerPageMap == 0;
}

std::uint64_t SpaceAllocator::ReservedEnd(std::size_t region) const {
    const std::uint64_t maps = RegionHasPageMap(region) ? 2 : 1;
    return RegionStart(region) + maps * layout_.pageSize;
}

std::size_t SpaceAllocator::RegionOf(std::uint64_t offset) const {
    if (offset < layout_.firstMapOffset) return 0;
    return static_cast<std::size_t>((offset - layout_.firstMapOffset) / layout_.MapCoverage());
}

std::size_t SpaceAllocator::RegionCount() const {
    return RegionOf(end_ - 1) + 1;
}

std::uint64_t SpaceAllocator::Allocate(std::uint64_t size, std::uint64_t alignment) {
    std::uint64_t offset = RoundUp(cursor_, alignment);
    for (;;) {
        const std::size_t region = RegionOf(offset);
        if (offset < ReservedEnd(region)) {
            offset = RoundUp(ReservedEnd(region), alignment);
        } else if (offset + size > RegionStart(region + 1)) {
            offset = RegionStart(region + 1);
        } else {
            break;
        }
    }
    Mark(offset, size);
    cursor_ = offset + size;
    end_ = std::max(end_, cursor_);
    return offset;
}

void SpaceAllocator::Mark(std::uint64_t offset, std::uint64_t size) {
    const std::uint64_t first = offset / kSlotSize;
    const std::uint64_t last = (offset + size + kSlotSize - 1) / kSlotSize;
    if (used_.size() * 8 < last)
        used_.resize(static_cast<std::size_t>(std::max(last / 8 + 1, used_.size() * 2)));
    for (std::uint64_t slot = first; slot < last; ++slot) {
        used_[slot / 8] = static_cast<std::uint8_t>(used_[slot / 8] | (1u << (slot % 8)));
    }
}

bool SpaceAllocator::SlotUsed(std::uint64_t offset) const {
    const std::size_t region = RegionOf(offset);
    if (offset >= RegionStart(region) && offset < ReservedEnd(region)) return true;
    const std::uint64_t slot = offset / kSlotSize;
    return slot / 8 < used_.size() && (used_[slot / 8] & (1u << (slot % 8))) != 0;
}

}  // namespace velmora::storewriter
