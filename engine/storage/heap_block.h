// One data block of a node's heap: an owned copy of its bytes and the index of
// its allocations.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/little_endian.h"
#include "engine/storage/cblock_index_array.h"

namespace corvex {

class HeapBlock {
  public:
    explicit HeapBlock(std::vector<std::uint8_t> bytes);

    common::Bytes Data() const { return bytes_; }
    const CBlockIndexArray& Allocations() const { return allocations_; }

    // The bytes of the allocation with 1-based `hidIndex`, or nothing when the
    // block has no such allocation. An allocation that does not lie inside the
    // block gives a zero-filled value of its stated size.
    std::optional<std::vector<std::uint8_t>> Allocation(std::uint32_t hidIndex) const;

  private:
    std::vector<std::uint8_t> bytes_;
    CBlockIndexArray allocations_;
};

}  // namespace corvex
