#include "tools/storewriter/table_context_writer.h"

#include <algorithm>
#include <cstring>

#include "common/little_endian.h"
#include "tools/storewriter/bth_writer.h"

namespace velmora::storewriter {
namespace {

constexpr std::size_t kTcInfoFixedSize = 22;
constexpr std::size_t kColumnDescSize = 8;

// Where a context's values go while it is being laid out.
struct ValueSink {
    HeapWriter& heap;
    SubnodeNids& nids;
    std::vector<SubnodeContent>& subnodes;
    std::size_t maxBlock;
};

const PropertyValue* FindCell(const TableRowValues& row, std::uint16_t id) {
    for (const PropertyValue& cell : row.cells) {
        if (cell.id == id) return &cell;
    }
    return nullptr;
}

void WriteCell(const CellPlace& place, const PropertyValue& value, std::uint8_t* row,
               ValueSink& sink) {
    if (FixedCellSize(place.column.type) == 0) {
        common::StoreLE32(row + place.ibData, PlaceValue(sink.heap, value.bytes, sink.nids,
                                                         sink.subnodes, sink.maxBlock));
    } else {
        std::memcpy(row + place.ibData, value.bytes.data(),
                    std::min<std::size_t>(place.cbData, value.bytes.size()));
    }
}

std::vector<std::uint8_t> BuildRow(const RowLayout& layout, const TableRowValues& values,
                                   ValueSink& sink) {
    std::vector<std::uint8_t> row(layout.rowSize, 0);
    common::StoreLE32(row.data(), values.rowId);
    for (const CellPlace& place : layout.cells) {
        const bool rowColumn =
            place.column.id == common::prop::kRowId || place.column.id == common::prop::kRowVersion;
        const PropertyValue* value = rowColumn ? nullptr : FindCell(values, place.column.id);
        if (rowColumn) layout.MarkPresent(row.data(), place.iBit);  // the row version stays 0
        if (value == nullptr) continue;
        WriteCell(place, *value, row.data(), sink);
        layout.MarkPresent(row.data(), place.iBit);
    }
    return row;
}

// Small matrices live in the heap; larger ones in a subnode whose blocks hold
// whole rows only, every block but the last padded to the full block size.
std::uint32_t PlaceRowMatrix(const std::vector<std::uint8_t>& matrix, std::size_t rowSize,
                             ValueSink& sink) {
    if (matrix.empty()) return 0;
    if (matrix.size() <= kMaxHeapAllocation) return sink.heap.Allocate(matrix);
    const std::size_t perBlock = sink.maxBlock / rowSize * rowSize;
    SubnodeContent subnode;
    subnode.nid = sink.nids.Next();
    for (std::size_t at = 0; at < matrix.size(); at += perBlock) {
        const std::size_t size = std::min(perBlock, matrix.size() - at);
        std::vector<std::uint8_t> block(matrix.begin() + static_cast<std::ptrdiff_t>(at),
                                        matrix.begin() + static_cast<std::ptrdiff_t>(at + size));
        if (at + size < matrix.size()) block.resize(sink.maxBlock, 0);
        subnode.content.blocks.push_back(std::move(block));
    }
    sink.subnodes.push_back(std::move(subnode));
    return sink.subnodes.back().nid;
}

// Row IDs to row positions, sorted by row ID; ANSI stores keep 2-byte positions.
std::uint32_t WriteRowIndex(HeapWriter& heap, std::span<const TableRowValues> rows, bool ansi) {
    const BthShape shape{4, static_cast<std::uint8_t>(ansi ? 2 : 4)};
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
    for (std::size_t i = 0; i < rows.size(); ++i)
        entries.emplace_back(rows[i].rowId, static_cast<std::uint32_t>(i));
    std::sort(entries.begin(), entries.end());
    std::vector<std::uint8_t> records(entries.size() * shape.RecordSize(), 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::uint8_t* record = records.data() + i * shape.RecordSize();
        common::StoreLE32(record, entries[i].first);
        if (ansi)
            common::StoreLE16(record + 4, static_cast<std::uint16_t>(entries[i].second));
        else
            common::StoreLE32(record + 4, entries[i].second);
    }
    return WriteBth(heap, shape, records);
}

std::vector<std::uint8_t> BuildTcInfo(const RowLayout& layout, std::uint32_t hidRowIndex,
                                      std::uint32_t hnidRows) {
    std::vector<CellPlace> sorted = layout.cells;
    std::sort(sorted.begin(), sorted.end(), [](const CellPlace& a, const CellPlace& b) {
        return a.column.Tag() < b.column.Tag();
    });
    std::vector<std::uint8_t> info(kTcInfoFixedSize + sorted.size() * kColumnDescSize, 0);
    info[0] = kClientSigTableContext;
    info[1] = static_cast<std::uint8_t>(sorted.size());
    common::StoreLE16(&info[2], layout.end4b);
    common::StoreLE16(&info[4], layout.end2b);
    common::StoreLE16(&info[6], layout.end1b);
    common::StoreLE16(&info[8], layout.rowSize);
    common::StoreLE32(&info[10], hidRowIndex);
    common::StoreLE32(&info[14], hnidRows);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        std::uint8_t* desc = &info[kTcInfoFixedSize + i * kColumnDescSize];
        common::StoreLE32(desc, sorted[i].column.Tag());
        common::StoreLE16(desc + 4, sorted[i].ibData);
        desc[6] = sorted[i].cbData;
        desc[7] = sorted[i].iBit;
    }
    return info;
}

}  // namespace

NodeContent BuildTableContext(const VariantLayout& layout, std::span<const TableColumn> columns,
                              std::span<const TableRowValues> rows, SubnodeNids& nids) {
    NodeContent content;
    HeapWriter heap(layout, kClientSigTableContext);
    ValueSink sink{heap, nids, content.subnodes, layout.maxBlockData};
    const RowLayout rowLayout = LayOutRow(columns);
    std::vector<std::uint8_t> matrix;
    matrix.reserve(rows.size() * rowLayout.rowSize);
    for (const TableRowValues& row : rows) {
        const std::vector<std::uint8_t> bytes = BuildRow(rowLayout, row, sink);
        matrix.insert(matrix.end(), bytes.begin(), bytes.end());
    }
    const std::uint32_t hidRowIndex = WriteRowIndex(heap, rows, layout.Ansi());
    const std::uint32_t hnidRows = PlaceRowMatrix(matrix, rowLayout.rowSize, sink);
    heap.SetUserRoot(heap.Allocate(BuildTcInfo(rowLayout, hidRowIndex, hnidRows)));
    content.blocks = heap.Finish();
    return content;
}

}  // namespace velmora::storewriter
