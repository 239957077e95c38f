#include "tools/storewriter/row_layout.h"

#include "tools/storewriter/property_value.h"

namespace velmora::storewriter {
namespace {

std::uint8_t CellSize(std::uint16_t type) {
    const std::size_t fixed = FixedCellSize(type);
    return static_cast<std::uint8_t>(fixed == 0 ? 4 : fixed);
}

std::vector<TableColumn> WithRowColumns(std::span<const TableColumn> columns) {
    std::vector<TableColumn> all{{common::prop::kRowId, common::ptype::kLong},
                                 {common::prop::kRowVersion, common::ptype::kLong}};
    for (const TableColumn& column : columns) {
        if (column.id != common::prop::kRowId && column.id != common::prop::kRowVersion)
            all.push_back(column);
    }
    return all;
}

}  // namespace

RowLayout LayOutRow(std::span<const TableColumn> columns) {
    const std::vector<TableColumn> all = WithRowColumns(columns);
    RowLayout layout;
    std::uint16_t at = 4;
    layout.cells.push_back({all[0], 0, 4, 0});
    for (const std::uint8_t size : {8, 4, 2, 1}) {
        for (std::size_t i = 1; i < all.size(); ++i) {
            if (CellSize(all[i].type) != size) continue;
            layout.cells.push_back(
                {all[i], at, size, static_cast<std::uint8_t>(layout.cells.size())});
            at = static_cast<std::uint16_t>(at + size);
        }
        if (size == 4) layout.end4b = at;
        if (size == 2) layout.end2b = at;
    }
    layout.end1b = at;
    layout.rowSize = static_cast<std::uint16_t>(at + (all.size() + 7) / 8);
    return layout;
}

}  // namespace velmora::storewriter
