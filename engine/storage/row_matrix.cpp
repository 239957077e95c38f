#include "engine/storage/row_matrix.h"

#include <algorithm>

namespace corvex {

RowMatrix::RowMatrix(std::vector<std::vector<std::uint8_t>> blocks, std::size_t rowLength)
    : rowLength_(rowLength) {
    for (const auto& block : blocks) {
        const std::size_t rows = rowLength == 0 ? 0 : block.size() / rowLength;
        runs_.push_back({joined_.size(), rows});
        joined_.insert(joined_.end(), block.begin(), block.end());
    }
}

std::optional<std::size_t> RowMatrix::RowStart(std::uint64_t rowIndex) const {
    for (const Run& run : runs_) {
        if (rowIndex < run.rows) return run.start + static_cast<std::size_t>(rowIndex) * rowLength_;
        rowIndex -= run.rows;
    }
    return std::nullopt;
}

common::Bytes RowMatrix::RowAt(std::size_t start) const {
    if (start >= joined_.size()) return {};
    return Joined().subspan(start, std::min(rowLength_, joined_.size() - start));
}

std::optional<std::size_t> FindRowById(common::Bytes bytes, std::uint32_t rowId) {
    for (std::size_t k = 0; k + 4 <= bytes.size(); ++k) {
        if (common::LoadLE<std::uint32_t>(bytes, k) == rowId) return k;
    }
    return std::nullopt;
}

}  // namespace corvex
