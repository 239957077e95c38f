#include "engine/storage/cblock_index_array.h"

namespace corvex {
namespace {
constexpr std::size_t kPageMapHeaderSize = 4;  // cAlloc, cFree
}  // namespace

CBlockIndexArray CBlockIndexArray::Parse(common::Bytes block) {
    CBlockIndexArray array;
    const std::size_t ibHnpm = common::LoadLE<std::uint16_t>(block, 0);
    if (ibHnpm + kPageMapHeaderSize > block.size()) return array;
    const std::size_t cAlloc = common::LoadLE<std::uint16_t>(block, ibHnpm);
    const std::size_t offsetsEnd = ibHnpm + kPageMapHeaderSize + (cAlloc + 1) * 2;
    if (offsetsEnd > block.size()) return array;

    array.entries_.reserve(cAlloc);
    for (std::size_t i = 0; i < cAlloc; ++i) {
        const std::size_t at = ibHnpm + kPageMapHeaderSize + i * 2;
        const auto start = common::LoadLE<std::uint16_t>(block, at);
        const auto next = common::LoadLE<std::uint16_t>(block, at + 2);
        // Both halves are 16 bits: offsets out of order give a huge size, which
        // the lookup then treats as an allocation outside the block.
        const auto size = static_cast<std::uint16_t>(next - start);
        array.entries_.push_back(std::uint32_t{start} | (std::uint32_t{size} << 16));
    }
    return array;
}

}  // namespace corvex
