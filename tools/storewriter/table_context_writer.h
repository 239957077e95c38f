// Lays out a table context: the TCINFO with its column descriptions, the row
// index BTH (row ID to row position), and the row matrix, kept in the heap when
// small and otherwise in a subnode whose blocks each hold as many whole rows as
// fit, the rest of each block left unused.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/storewriter/node_content.h"
#include "tools/storewriter/property_value.h"
#include "tools/storewriter/row_layout.h"
#include "tools/storewriter/value_placement.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

// One row: its ID and its cells, matched to the columns by id. A column the row
// has no value for is an absent cell.
struct TableRowValues {
    std::uint32_t rowId = 0;
    std::vector<PropertyValue> cells;
};

NodeContent BuildTableContext(const VariantLayout& layout, std::span<const TableColumn> columns,
                              std::span<const TableRowValues> rows, SubnodeNids& nids);

}  // namespace velmora::storewriter
