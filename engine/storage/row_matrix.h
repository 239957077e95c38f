// A table's row matrix. Rows of a fixed length are packed per data block: each
// block holds as many whole rows as fit and the next block starts a fresh run,
// so a row's place follows from its row index and the block sizes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/little_endian.h"

namespace corvex {

class RowMatrix {
  public:
    RowMatrix(std::vector<std::vector<std::uint8_t>> blocks, std::size_t rowLength);

    // The blocks joined, as the fallback search scans them.
    common::Bytes Joined() const { return joined_; }
    std::size_t RowLength() const { return rowLength_; }

    // Where the row at `rowIndex` starts in Joined(), or nothing when the blocks
    // hold fewer rows.
    std::optional<std::size_t> RowStart(std::uint64_t rowIndex) const;
    // The row's bytes from `start`: RowLength() of them, fewer at the very end.
    common::Bytes RowAt(std::size_t start) const;

  private:
    struct Run {
        std::size_t start;  // offset of the block in Joined()
        std::size_t rows;   // whole rows the block holds
    };

    std::vector<std::uint8_t> joined_;
    std::vector<Run> runs_;
    std::size_t rowLength_;
};

// The first offset k at which the 4 bytes equal `rowId`, moving one byte at a
// time; nothing when no 4 bytes match.
std::optional<std::size_t> FindRowById(common::Bytes bytes, std::uint32_t rowId);

}  // namespace corvex
