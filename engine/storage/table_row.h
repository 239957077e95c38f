// One row of a table context: its cells by property id, one per column, where a
// later column with the same id replaces the earlier one.
#pragma once

#include <cstdint>

#include "engine/storage/property_map.h"

namespace corvex {

struct TableRow {
    std::uint32_t rowId = 0;     // dwRowID from the row index
    std::uint32_t rowIndex = 0;  // the row's position in the row matrix
    PropertyMap cells;
};

}  // namespace corvex
