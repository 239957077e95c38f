// Where each column's cell lies in a table row: the row ID first, then the
// 8-byte, 4-byte, 2-byte and 1-byte cells, then the cell existence bitmap.
// Variable-size values take 4 bytes in the row: their HNID.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/storewriter/message_properties.h"

namespace velmora::storewriter {

struct TableColumn {
    std::uint16_t id = 0;
    std::uint16_t type = 0;
    std::uint32_t Tag() const { return (std::uint32_t{id} << 16) | type; }
};

struct CellPlace {
    TableColumn column;
    std::uint16_t ibData = 0;
    std::uint8_t cbData = 0;
    std::uint8_t iBit = 0;
};

struct RowLayout {
    std::vector<CellPlace> cells;  // in row order: cells[0] is the row ID
    std::uint16_t end4b = 0;       // TCI_4b: end of the 8- and 4-byte cells
    std::uint16_t end2b = 0;       // TCI_2b
    std::uint16_t end1b = 0;       // TCI_1b: where the existence bitmap starts
    std::uint16_t rowSize = 0;     // TCI_bm

    void MarkPresent(std::uint8_t* row, std::uint8_t iBit) const {
        row[end1b + iBit / 8] =
            static_cast<std::uint8_t>(row[end1b + iBit / 8] | (0x80 >> (iBit % 8)));
    }
};

// The row ID and row version columns are added when `columns` lacks them.
RowLayout LayOutRow(std::span<const TableColumn> columns);

}  // namespace velmora::storewriter
