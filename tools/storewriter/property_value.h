// One property as a writer holds it before it is laid out: its id, its MAPI
// type and the bytes of its value as they are to be stored.
#pragma once

#include <cstdint>
#include <vector>

#include "common/property_ids.h"

namespace velmora::storewriter {

namespace ptype = common::ptype;

struct PropertyValue {
    std::uint16_t id = 0;
    std::uint16_t type = 0;
    std::vector<std::uint8_t> bytes;
};

// The size of a value kept inside a table row, or 0 for a variable-size value
// that the row refers to by HNID.
std::size_t FixedCellSize(std::uint16_t type);
// Values a property context keeps in the record itself instead of the heap.
bool IsInlineInPropertyContext(std::uint16_t type);

}  // namespace velmora::storewriter
