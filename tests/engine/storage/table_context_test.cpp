// Table contexts read from hand-built heaps, in all three store variants: rows
// found at their place by row index, the fallback scan, and damaged tables.
#include <gtest/gtest.h>

#include <optional>
#include <type_traits>

#include "engine/storage/row_matrix.h"
#include "engine/storage/table_context.h"
#include "engine/storage/tc_info.h"
#include "tests/engine/storage/heap_builders.h"

namespace velmora::test {
namespace {

using namespace corvex;

// Row layout used throughout: row ID, a PT_LONG, a PT_UNICODE HNID, one CEB byte.
constexpr std::uint16_t kRowLength = 13;
const std::vector<TColDesc> kColumns = {
    {0x0003, 0x67F2, 0, 4},
    {0x0003, 0x0E20, 4, 4},
    {0x001F, 0x3001, 8, 4},
};

ByteBuffer Row(std::uint32_t id, std::uint32_t size, std::uint32_t nameHnid = 0) {
    ByteBuffer row = U32(id);
    Append(row, U32(size));
    Append(row, U32(nameHnid));
    row.push_back(0xE0);
    return row;
}

ByteBuffer Rows(const std::vector<ByteBuffer>& rows) {
    ByteBuffer out;
    for (const ByteBuffer& row : rows) Append(out, row);
    return out;
}

template <typename V>
class TableHeapBuilder {
  public:
    // dwRowIndex is 2 bytes wide in ANSI stores.
    std::uint8_t cbKey = 4;
    std::uint8_t cbEnt = std::is_same_v<V, AnsiTraits> ? 2 : 4;
    std::uint16_t rowLength = kRowLength;
    std::vector<TColDesc> columns = kColumns;
    std::size_t droppedColumnBytes = 0;  // cuts the TCINFO short
    std::uint32_t recordsNid = 0;        // row index records held in this subnode
    HeapBlockBuilder block;
    HeapBlockBuilder second{false};
    FakeSubnodes subnodes;

    void Index(std::uint32_t rowId, std::uint32_t rowIndex) { index_.push_back({rowId, rowIndex}); }
    void MatrixInHeap(const ByteBuffer& matrix) { rows_ = MakeHid<V>(0, block.Allocate(matrix)); }
    void MatrixInSubnode(std::uint32_t nid, std::vector<ByteBuffer> blocks) {
        rows_ = nid;
        subnodes.Put(nid, std::move(blocks));
    }

    HeapOnNode<V> Build() {
        ByteBuffer records;
        for (auto [id, index] : index_) {
            PutLE(records, records.size(), id, cbKey);
            PutLE(records, records.size(), index, cbEnt);
        }
        const auto root = recordsNid != 0   ? recordsNid
                          : records.empty() ? 0
                                            : MakeHid<V>(0, block.Allocate(records));
        const auto rowIndex = MakeHid<V>(0, block.Allocate(BthHeaderBytes(cbKey, cbEnt, 0, root)));
        block.ClientSig(0x7C).UserRoot(MakeHid<V>(0, block.Allocate(TcInfoBytes(rowIndex))));
        return HeapOf<V>({block.Build(), second.Build()});
    }

  private:
    ByteBuffer TcInfoBytes(std::uint32_t rowIndex) const {
        ByteBuffer info{0x7C, static_cast<std::uint8_t>(columns.size())};
        for (int i = 0; i < 4; ++i) PutLE(info, info.size(), rowLength, 2);
        Append(info, U32(rowIndex));
        Append(info, U32(rows_));
        Append(info, U32(0));
        for (const TColDesc& c : columns) {
            Append(info, U32(c.propType | (std::uint32_t{c.propId} << 16)));
            PutLE(info, info.size(), c.ibData, 2);
            info.push_back(c.cbData);
            info.push_back(0);
        }
        info.resize(info.size() - droppedColumnBytes);
        return info;
    }

    std::vector<std::pair<std::uint32_t, std::uint32_t>> index_;
    std::uint32_t rows_ = 0;
};

template <typename V>
class TableContextTest : public ::testing::Test {
  protected:
    std::vector<TableRow> Read() {
        const HeapOnNode<V> heap = table.Build();
        std::vector<TableRow> rows;
        ReadTableContext(heap, table.subnodes, rows);
        return rows;
    }
    // (row ID, PT_LONG cell) of each row, for comparing whole tables.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Summary() {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> out;
        for (const TableRow& row : Read())
            out.emplace_back(row.rowId,
                             common::LoadLE<std::uint32_t>(row.cells.Find(0x0E20)->bytes, 0));
        return out;
    }
    using Summaries = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    TableHeapBuilder<V> table;
};
TYPED_TEST_SUITE(TableContextTest, StoreVariants);

TYPED_TEST(TableContextTest, RowsComeInRowIndexOrderNotRecordOrder) {
    this->table.Index(3, 1);
    this->table.Index(7, 0);
    this->table.MatrixInHeap(Rows({Row(7, 70), Row(3, 30)}));
    EXPECT_EQ(this->Summary(), (typename TestFixture::Summaries{{7, 70}, {3, 30}}));
}

TYPED_TEST(TableContextTest, RowsArePackedPerBlockAndPaddingIsSkipped) {
    // Two rows fit the first block; its unused tail holds a stale copy of row 5's
    // ID, where a scan from the end of row 4 would wrongly start the row.
    ByteBuffer first = Rows({Row(1, 10), Row(4, 40)});
    Append(first, U32(5));
    Append(first, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    this->table.MatrixInSubnode(0x2E1, {first, Rows({Row(5, 50), Row(9, 90)})});
    for (std::uint32_t id : {1, 4, 5, 9})
        this->table.Index(id, id == 1 ? 0 : id == 4 ? 1 : id == 5 ? 2 : 3);
    EXPECT_EQ(this->Summary(),
              (typename TestFixture::Summaries{{1, 10}, {4, 40}, {5, 50}, {9, 90}}));
}

TYPED_TEST(TableContextTest, RowNotAtItsPlaceIsFoundByScanning) {
    ByteBuffer matrix = Row(1, 10);
    Append(matrix, {0, 0, 0});  // row 2 sits three bytes late
    Append(matrix, Row(2, 20));
    this->table.MatrixInHeap(matrix);
    this->table.Index(1, 0);
    this->table.Index(2, 1);
    EXPECT_EQ(this->Summary(), (typename TestFixture::Summaries{{1, 10}, {2, 20}}));
}

TYPED_TEST(TableContextTest, RowMissingFromMatrixIsLeftOut) {
    this->table.MatrixInHeap(Rows({Row(1, 10), Row(8, 80), Row(3, 30)}));
    this->table.Index(1, 0);
    this->table.Index(2, 1);  // the matrix holds row 8 there, and no row 2 anywhere
    this->table.Index(3, 2);
    EXPECT_EQ(this->Summary(), (typename TestFixture::Summaries{{1, 10}, {3, 30}}));
}

TYPED_TEST(TableContextTest, DamagedRowIndexes) {
    struct Case {
        const char* what;
        std::uint8_t cbKey, cbEnt;
        std::uint32_t secondIndex;
        std::size_t rows;
    };
    const std::uint8_t cbEnt = this->table.cbEnt;
    const Case cases[] = {
        {"dwRowIndex not below the row count", 4, cbEnt, 2, 1},
        {"dwRowIndex far past the row count", 4, cbEnt, 0xFFFF, 1},
        {"cbKey + cbEnt of 0", 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        TableHeapBuilder<TypeParam> table;
        table.cbKey = c.cbKey;
        table.cbEnt = c.cbEnt;
        table.MatrixInHeap(Rows({Row(1, 10), Row(2, 20)}));
        table.Index(1, 0);
        table.Index(2, c.secondIndex);
        std::vector<TableRow> rows;
        ReadTableContext(table.Build(), table.subnodes, rows);
        EXPECT_EQ(rows.size(), c.rows) << c.what;
    }
}

TYPED_TEST(TableContextTest, DamagedColumns) {
    this->table.columns.push_back({0x0003, 0x0FFF, 11, 4});  // passes the 13-byte row
    this->table.MatrixInHeap(Rows({Row(1, 10)}));
    this->table.Index(1, 0);
    std::vector<TableRow> rows = this->Read();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].cells.Find(0x0FFF)->Empty());

    TableHeapBuilder<TypeParam> shortInfo;
    shortInfo.droppedColumnBytes = 5;  // the last TCOLDESC is cut off
    shortInfo.MatrixInHeap(Rows({Row(1, 10, 0)}));
    shortInfo.Index(1, 0);
    rows.clear();
    ReadTableContext(shortInfo.Build(), shortInfo.subnodes, rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].cells.Size(), 2u);
    EXPECT_EQ(rows[0].cells.Find(0x3001), nullptr);
}

TYPED_TEST(TableContextTest, HnidCells) {
    const auto nameHid = MakeHid<TypeParam>(1, this->table.second.Allocate({'A', 0, 'l', 0}));
    ByteBuffer clearedBitmap = Row(4, 40, 0x12345);  // a HNID of a subnode; CEB all clear
    clearedBitmap.back() = 0;
    this->table.MatrixInHeap(Rows({Row(1, 10, nameHid), Row(2, 20, 0), clearedBitmap}));
    for (std::uint32_t i = 0; i < 3; ++i) this->table.Index(i == 2 ? 4 : i + 1, i);
    const std::vector<TableRow> rows = this->Read();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].cells.Find(0x3001)->bytes, (ByteBuffer{'A', 0, 'l', 0}));
    EXPECT_EQ(rows[1].cells.Find(0x3001)->bytes, U32(0)) << "a zero HNID stands as its 4 bytes";
    const PropValue& inSubnode = *rows[2].cells.Find(0x3001);
    EXPECT_TRUE(inSubnode.inSubnode);
    EXPECT_EQ(inSubnode.SubnodeNid(), 0x12345u);
    EXPECT_EQ(inSubnode.owner, &this->table.subnodes.Tree());
    EXPECT_EQ(rows[2].cells.Find(0x0E20)->bytes, U32(40));
}

TYPED_TEST(TableContextTest, LaterColumnWithSameIdReplacesEarlier) {
    this->table.columns.push_back({0x0003, 0x0E20, 8, 4});
    this->table.MatrixInHeap(Rows({Row(1, 10, 0x99)}));
    this->table.Index(1, 0);
    const std::vector<TableRow> rows = this->Read();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].cells.Count(0x0E20), 1u);
    EXPECT_EQ(rows[0].cells.Find(0x0E20)->bytes, U32(0x99));
}

TYPED_TEST(TableContextTest, MoreThan65535Rows) {
    if (std::is_same_v<TypeParam, AnsiTraits>)
        GTEST_SKIP() << "a 2-byte dwRowIndex cannot name that many rows";
    constexpr std::uint32_t kRows = 70000;
    constexpr std::size_t kRowsPerBlock = 8176 / kRowLength;
    std::vector<ByteBuffer> blocks;
    ByteBuffer records;
    for (std::uint32_t i = 0; i < kRows; ++i) {
        if (i % kRowsPerBlock == 0) blocks.emplace_back();
        Append(blocks.back(), Row(0x10000 + i, i));
        PutLE(records, records.size(), 0x10000 + i, 4);
        PutLE(records, records.size(), i, 4);
    }
    // Too many records for one heap allocation: the row index lives in a subnode.
    this->table.subnodes.Put(0x3E1, {records});
    this->table.recordsNid = 0x3E1;
    this->table.MatrixInSubnode(0x2E1, blocks);
    const std::vector<TableRow> rows = this->Read();
    ASSERT_EQ(rows.size(), kRows);
    EXPECT_EQ(rows.back().rowId, 0x10000 + kRows - 1);
    EXPECT_EQ(rows.back().cells.Find(0x0E20)->bytes, U32(kRows - 1));
}

TEST(RowMatrixTest, FindRowByIdMovesOneByteAtATime) {
    const ByteBuffer bytes{0, 0x78, 0x56, 0x34, 0x12, 0};
    EXPECT_EQ(FindRowById(bytes, 0x12345678), std::optional<std::size_t>(1));
    EXPECT_EQ(FindRowById(bytes, 0x00001234), std::nullopt) << "a match may not run past the end";
    EXPECT_EQ(FindRowById(ByteBuffer{1, 2}, 0), std::nullopt);
}

}  // namespace
}  // namespace velmora::test
