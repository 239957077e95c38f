// A table context's TCINFO: the row length, where the row index and the row
// matrix are, and the column descriptions.
#pragma once

#include <cstdint>
#include <vector>

#include "common/little_endian.h"

namespace corvex {

struct TColDesc {
    std::uint16_t propType = 0;
    std::uint16_t propId = 0;
    std::uint16_t ibData = 0;
    std::uint8_t cbData = 0;
};

struct TcInfo {
    std::uint16_t rowLength = 0;  // TCI_bm: the end of the cell existence bitmap
    std::uint32_t hidRowIndex = 0;
    std::uint32_t hnidRows = 0;
    std::vector<TColDesc> columns;  // only those that lie wholly inside the TCINFO

    static TcInfo Parse(common::Bytes bytes);
};

}  // namespace corvex
