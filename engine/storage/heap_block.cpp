#include "engine/storage/heap_block.h"

#include <algorithm>
#include <utility>

namespace corvex {

HeapBlock::HeapBlock(std::vector<std::uint8_t> bytes)
    : bytes_(std::move(bytes)), allocations_(CBlockIndexArray::Parse(bytes_)) {}

std::optional<std::vector<std::uint8_t>> HeapBlock::Allocation(std::uint32_t hidIndex) const {
    if (hidIndex == 0 || hidIndex > allocations_.Count()) return std::nullopt;
    const std::size_t i = hidIndex - 1;
    const std::size_t start = allocations_.Start(i);
    const std::size_t size = allocations_.Size(i);
    std::vector<std::uint8_t> value(size, 0);
    if (start + size <= bytes_.size()) {
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(start), size, value.begin());
    }
    return value;
}

}  // namespace corvex
