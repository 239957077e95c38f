#include "engine/storage/table_context.h"

#include <algorithm>
#include <optional>

#include "common/property_ids.h"
#include "engine/storage/bth.h"
#include "engine/storage/heap_header.h"
#include "engine/storage/heap_id.h"
#include "engine/storage/instantiate.h"
#include "engine/storage/robustness_limits.h"
#include "engine/storage/row_matrix.h"
#include "engine/storage/tc_info.h"

namespace corvex {
namespace {

using RowIdSlots = std::vector<std::optional<std::uint32_t>>;

// Reads a field of `width` bytes; row index keys and entries are at most 4 wide
// (dwRowIndex is 2 bytes in ANSI stores).
std::uint32_t LoadNarrow(common::Bytes bytes, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width && i < 4; ++i) {
        value |= std::uint32_t{common::LoadLE<std::uint8_t>(bytes, offset + i)} << (8 * i);
    }
    return value;
}

// The row ID for each row index. Records whose index is not below the row count
// are dropped; indexes no record names stay empty.
RowIdSlots BuildRowIds(common::Bytes records, const BthHeader& header) {
    const std::size_t recordSize = std::size_t{header.cbKey} + header.cbEnt;
    if (recordSize == 0) return {};
    RowIdSlots slots(records.size() / recordSize);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::size_t at = i * recordSize;
        const std::uint32_t rowIndex = LoadNarrow(records, at + header.cbKey, header.cbEnt);
        if (rowIndex < slots.size()) slots[rowIndex] = LoadNarrow(records, at, header.cbKey);
    }
    return slots;
}

bool IsHnidCellType(std::uint16_t type) {
    switch (type) {
        case common::ptype::kObject:
        case common::ptype::kString8:
        case common::ptype::kUnicode:
        case common::ptype::kBinary:
        case common::ptype::kMvObject:
        case common::ptype::kMvString8:
        case common::ptype::kMvUnicode:
        case common::ptype::kMvClsid:
        case common::ptype::kMvBinary:
            return true;
        default:
            return false;
    }
}

template <typename V>
void ResolveCellHnid(const HeapOnNode<V>& heap, common::Bytes cell, PropValue& value) {
    const std::uint32_t hnid = common::LoadLE<std::uint32_t>(cell, 0);
    if (IsSubnodeHnid(hnid)) {
        value.bytes.assign(cell.begin(), cell.begin() + 4);
        value.inSubnode = true;
    } else if ((hnid & HidIndexMask<V>()) != 0) {
        value.bytes = heap.FindHid(hnid).value_or(ByteBuffer{});
    } else {
        value.bytes.assign(cell.begin(), cell.begin() + std::min<std::size_t>(cell.size(), 4));
    }
}

// A column whose cell would pass the row's end gives an absent value.
template <typename V>
PropValue ReadCell(const HeapOnNode<V>& heap, const SubnodeSource& subnodes, const TColDesc& column,
                   common::Bytes row) {
    PropValue value;
    value.id = column.propId;
    value.type = column.propType;
    value.owner = &subnodes.Tree();
    if (std::size_t{column.ibData} + column.cbData > row.size()) return value;
    const common::Bytes cell = row.subspan(column.ibData, column.cbData);
    if (IsHnidCellType(column.propType)) {
        ResolveCellHnid(heap, cell, value);
    } else {
        value.bytes.assign(cell.begin(), cell.end());
    }
    return value;
}

// Where the row starts: at its place by row index when the row ID there matches,
// otherwise the first match scanning from `from`. The scans of one table share
// `scanBudget` bytes, so a damaged table whose rows all miss their places costs
// a few passes over the matrix, not one pass per row.
std::optional<std::size_t> LocateRow(const RowMatrix& matrix, std::size_t rowIndex,
                                     std::uint32_t rowId, std::size_t from,
                                     std::size_t& scanBudget) {
    const std::optional<std::size_t> placed = matrix.RowStart(rowIndex);
    if (placed && common::LoadLE<std::uint32_t>(matrix.RowAt(*placed), 0) == rowId) return placed;
    if (from >= matrix.Joined().size() || scanBudget == 0) return std::nullopt;
    const common::Bytes rest = matrix.Joined().subspan(from);
    const common::Bytes scanned = rest.first(std::min(rest.size(), scanBudget));
    const std::optional<std::size_t> found = FindRowById(scanned, rowId);
    scanBudget -= found ? std::min(scanned.size(), *found + 4) : scanned.size();
    if (!found) return std::nullopt;
    return from + *found;
}

template <typename V>
RowMatrix ReadRowMatrix(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                        const TcInfo& info) {
    std::vector<ByteBuffer> blocks;
    if (IsSubnodeHnid(info.hnidRows)) {
        blocks = subnodes.ReadDataBlocks(info.hnidRows);
    } else if (info.hnidRows != 0) {
        blocks.push_back(heap.FindHid(info.hnidRows).value_or(ByteBuffer{}));
    }
    return RowMatrix(std::move(blocks), info.rowLength);
}

}  // namespace

template <typename V>
void ReadTableContext(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                      std::vector<TableRow>& rows) {
    const HeapHeader heapHeader = HeapHeader::Parse(heap.FirstBlock());
    if (heapHeader.bClientSig != kClientSigTableContext) return;
    const TcInfo info = TcInfo::Parse(ReadHnidArray(heap, subnodes, heapHeader.hidUserRoot));
    const BthHeader rowIndex = BthHeader::Parse(ReadHnidArray(heap, subnodes, info.hidRowIndex));
    if (rowIndex.hidRoot == 0 || info.rowLength == 0) return;

    const RowIdSlots rowIds = BuildRowIds(CollectBthRecords(heap, subnodes, rowIndex), rowIndex);
    const RowMatrix matrix = ReadRowMatrix(heap, subnodes, info);
    std::size_t next = 0;  // where the fallback scan starts: the end of the previous row
    std::size_t scanBudget = kRowScanPasses * matrix.Joined().size() + kRowScanFloorBytes;
    for (std::size_t i = 0; i < rowIds.size(); ++i) {
        if (!rowIds[i]) continue;
        const std::optional<std::size_t> start = LocateRow(matrix, i, *rowIds[i], next, scanBudget);
        if (!start) continue;
        TableRow row{*rowIds[i], static_cast<std::uint32_t>(i), {}};
        const common::Bytes bytes = matrix.RowAt(*start);
        for (const TColDesc& column : info.columns)
            row.cells.Replace(ReadCell(heap, subnodes, column, bytes));
        rows.push_back(std::move(row));
        next = *start + info.rowLength;
    }
}

#define CORVEX_INSTANTIATE_TC(V)                                                  \
    template void ReadTableContext<V>(const HeapOnNode<V>&, const SubnodeSource&, \
                                      std::vector<TableRow>&);
CORVEX_FOR_EACH_VARIANT(CORVEX_INSTANTIATE_TC)

}  // namespace corvex
