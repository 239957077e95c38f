// Writes a B-tree-on-heap into a heap: leaf arrays of whole records, each in
// one allocation, and index levels over them when one leaf is not enough.
#pragma once

#include <cstdint>
#include <span>

#include "tools/storewriter/heap_writer.h"

namespace velmora::storewriter {

struct BthShape {
    std::uint8_t cbKey = 0;
    std::uint8_t cbEnt = 0;
    std::size_t RecordSize() const { return std::size_t{cbKey} + cbEnt; }
};

// `records` are whole records of shape.RecordSize() bytes, sorted by key.
// Returns the HID of the BTH header; without records its hidRoot is 0.
std::uint32_t WriteBth(HeapWriter& heap, BthShape shape, std::span<const std::uint8_t> records);

}  // namespace velmora::storewriter
