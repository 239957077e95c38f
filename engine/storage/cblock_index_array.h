// The allocations of one heap block, parsed from its page map: one 32-bit entry
// per allocation in allocation order, the start offset in the low half and the
// size in bytes in the high half.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/little_endian.h"

namespace corvex {

class CBlockIndexArray {
  public:
    // Parses the page map at ibHnpm (the u16 at offset 0). A page map that does
    // not lie wholly inside the block is damaged and yields no allocations.
    static CBlockIndexArray Parse(common::Bytes block);

    std::size_t Count() const { return entries_.size(); }
    std::uint16_t Start(std::size_t i) const { return static_cast<std::uint16_t>(entries_[i]); }
    std::uint16_t Size(std::size_t i) const {
        return static_cast<std::uint16_t>(entries_[i] >> 16);
    }

  private:
    std::vector<std::uint32_t> entries_;
};

}  // namespace corvex
