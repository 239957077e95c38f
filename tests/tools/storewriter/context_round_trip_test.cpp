// Property and table contexts the writer lays out read back, property by
// property and cell by cell, through the engine's context reader: heaps of one
// and of many blocks, values in the heap and in subnodes, row matrices in the
// heap and in subnodes of several padded blocks, row indexes with an index
// level; for every variant and crypt method.
#include <map>

#include "engine/storage/context_reader.h"
#include "tests/tools/storewriter/writer_cases.h"
#include "tools/storewriter/property_context_writer.h"
#include "tools/storewriter/table_context_writer.h"

namespace velmora::storewriter::test {
namespace {

constexpr std::uint32_t kNodeNid = 0x200024;
constexpr std::uint32_t kTableSubnodeNid = 0x692;

PropertyValue PatternValue(std::uint16_t id, std::uint16_t type, std::size_t size,
                           std::uint32_t salt) {
    return {id, type, PatternBytes(size, salt)};
}

class ContextRoundTripTest : public WriterFixture {
  protected:
    const VariantLayout& Layout() const { return LayoutFor(GetParam().options.variant); }

    void AddNode(const NodeContent& content) {
        const NodeBids bids = WriteNodeContent(writer_, content);
        ASSERT_NE(bids.data, 0u);
        writer_.AddNode(kNodeNid, bids.data, bids.sub, 0x122);
    }

    template <typename V>
    static void ExpectProperties(const corvex::NodeDatabase<V>& db,
                                 const std::vector<PropertyValue>& expected) {
        const corvex::ContextReader<V> contexts(db.Reader());
        const corvex::PropertyMap map = contexts.NodeProperties(*db.Walker().FindNode(kNodeNid));
        EXPECT_EQ(map.Size(), expected.size());
        for (const PropertyValue& property : expected) {
            const corvex::PropValue* value = map.Find(property.id);
            ASSERT_NE(value, nullptr) << std::hex << property.id;
            EXPECT_EQ(value->type, property.type) << std::hex << property.id;
            EXPECT_EQ(value->inSubnode, property.bytes.size() > kMaxHeapAllocation)
                << std::hex << property.id;
            std::vector<std::uint8_t> bytes = property.bytes;
            if (IsInlineInPropertyContext(property.type)) bytes.resize(4, 0);
            EXPECT_EQ(contexts.ValueBytes(*value), bytes) << std::hex << property.id;
        }
    }
};

TEST_P(ContextRoundTripTest, PropertyContextOverManyHeapBlocksKeepsEveryValue) {
    std::vector<PropertyValue> properties = {
        {0x0E07, common::ptype::kLong, {0x78, 0x56, 0x34, 0x12}},
        {0x0017, common::ptype::kLong, {2, 0, 0, 0}},
        {0x0E1B, common::ptype::kBoolean, {1}},
        {0x3FFD, common::ptype::kShort, {0xE4, 0x04}},
        {0x0039, common::ptype::kSysTime, {1, 2, 3, 4, 5, 6, 7, 8}},
        {0x0037, common::ptype::kUnicode, {'H', 0, 'i', 0}},
        {0x0070, common::ptype::kString8, {}},  // an empty value: a zero-length allocation
        PatternValue(0x1009, common::ptype::kBinary, kMaxHeapAllocation,
                     1),  // the largest heap value
        PatternValue(0x1013, common::ptype::kBinary, kMaxHeapAllocation + 1,
                     2),  // the smallest subnode value
        PatternValue(0x1000, common::ptype::kUnicode, 3 * writer_.MaxBlockData() + 5,
                     3),  // a subnode data tree
    };
    // Enough mid-sized values to fill several heap blocks.
    for (std::uint16_t i = 0; i < 90; ++i)
        properties.push_back(PatternValue(0x6000 + i, common::ptype::kBinary, 900 + i, 10 + i));
    SubnodeNids nids;
    const NodeContent content = BuildPropertyContext(Layout(), properties, nids);
    EXPECT_GE(content.blocks.size(), 10u) << "past the bitmap header of block 8";
    EXPECT_EQ(content.subnodes.size(), 2u);
    AddNode(content);
    WithDatabase(GetParam().options.variant, Write(),
                 [&](const auto& db) { ExpectProperties(db, properties); });
}

TEST_P(ContextRoundTripTest, EmptyPropertyContextReadsAsNoProperties) {
    SubnodeNids nids;
    AddNode(BuildPropertyContext(Layout(), {}, nids));
    WithDatabase(GetParam().options.variant, Write(),
                 [&](const auto& db) { ExpectProperties(db, {}); });
}

// A table with every kind of column, and rows that leave some cells absent.
struct TableCase {
    std::vector<TableColumn> columns = {
        {0x3001, common::ptype::kUnicode}, {0x0E06, common::ptype::kSysTime},
        {0x0C15, common::ptype::kLong},    {0x0002, common::ptype::kShort},
        {0x0E1B, common::ptype::kBoolean}, {0x0FF9, common::ptype::kBinary}};
    std::vector<TableRowValues> rows;

    TableCase(std::size_t count, std::size_t nameSize) {
        for (std::uint32_t i = 0; i < count; ++i) {
            TableRowValues row{static_cast<std::uint32_t>(0x8005 + 0x20 * ((i * 7) % count)),
                               {}};  // row IDs out of order
            row.cells.push_back(PatternValue(0x3001, common::ptype::kUnicode, nameSize + i % 9, i));
            row.cells.push_back(PatternValue(0x0E06, common::ptype::kSysTime, 8, i + 1));
            if (i % 3 != 0)
                row.cells.push_back(PatternValue(0x0C15, common::ptype::kLong, 4, i + 2));
            row.cells.push_back(PatternValue(0x0002, common::ptype::kShort, 2, i + 3));
            row.cells.push_back(
                {0x0E1B, common::ptype::kBoolean, {static_cast<std::uint8_t>(i % 2)}});
            if (i % 4 == 1)
                row.cells.push_back(
                    PatternValue(0x0FF9, common::ptype::kBinary, i % 8 == 1 ? 4000 : 16, i + 4));
            rows.push_back(std::move(row));
        }
    }
};

template <typename V>
void ExpectRows(const corvex::ContextReader<V>& contexts, const std::vector<corvex::TableRow>& rows,
                const TableCase& table) {
    ASSERT_EQ(rows.size(), table.rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TableRowValues& expected = table.rows[i];
        EXPECT_EQ(rows[i].rowId, expected.rowId);
        EXPECT_EQ(rows[i].cells.Size(), table.columns.size() + 2) << "row " << i;
        for (const PropertyValue& cell : expected.cells) {
            const corvex::PropValue* value = rows[i].cells.Find(cell.id);
            ASSERT_NE(value, nullptr) << "row " << i << " cell " << std::hex << cell.id;
            EXPECT_EQ(contexts.ValueBytes(*value), cell.bytes)
                << "row " << i << " cell " << std::hex << cell.id;
        }
        const corvex::PropValue* absent = rows[i].cells.Find(0x0C15);
        if (i % 3 == 0) {
            EXPECT_EQ(absent->bytes, std::vector<std::uint8_t>(4, 0)) << "row " << i;
        }
    }
}

TEST_P(ContextRoundTripTest, TableContextRowsAndCellsReadBack) {
    // 3 rows: the matrix lies in the heap; 1500 rows: in a subnode of several
    // padded blocks, with a row index BTH of several leaves under an index level.
    for (const std::size_t count : {std::size_t{0}, std::size_t{3}, std::size_t{1500}}) {
        SCOPED_TRACE(count);
        const TableCase table(count, 20);
        SubnodeNids nids;
        const NodeContent content = BuildTableContext(Layout(), table.columns, table.rows, nids);
        if (count == 1500) {
            ASSERT_FALSE(content.subnodes.empty());
            EXPECT_GE(content.subnodes.back().content.blocks.size(), 3u)
                << "the row matrix spans blocks";
            EXPECT_EQ(content.subnodes.back().content.blocks.front().size(),
                      writer_.MaxBlockData());
        }
        velmora::test::ScratchDir scratch;
        StoreWriter writer(OptionsInScratch());
        const NodeBids bids = WriteNodeContent(writer, content);
        writer.AddNode(kNodeNid, bids.data, bids.sub, 0x122);
        std::string error;
        ASSERT_TRUE(writer.WriteTo(scratch / "t.pst", &error)) << error;
        WithDatabase(GetParam().options.variant, scratch / "t.pst", [&](const auto& db) {
            const corvex::ContextReader contexts(db.Reader());
            ExpectRows(contexts, contexts.NodeTable(*db.Walker().FindNode(kNodeNid)), table);
        });
    }
}

TEST_P(ContextRoundTripTest, TableAsSubnodeResolvesItsValuesInTheNestedTree) {
    const TableCase table(400, 60);
    SubnodeNids nids;
    NodeContent message = BuildPropertyContext(Layout(), {}, nids);
    SubnodeNids tableNids;
    message.subnodes.push_back(
        {kTableSubnodeNid, BuildTableContext(Layout(), table.columns, table.rows, tableNids)});
    AddNode(message);
    WithDatabase(GetParam().options.variant, Write(), [&](const auto& db) {
        const corvex::ContextReader contexts(db.Reader());
        const corvex::SubnodeEntry* subnode =
            db.Walker().FindNode(kNodeNid)->Subnodes().Find(kTableSubnodeNid);
        ASSERT_NE(subnode, nullptr);
        ExpectRows(contexts, contexts.SubnodeTable(*subnode), table);
    });
}

INSTANTIATE_TEST_SUITE_P(AllVariants, ContextRoundTripTest, ::testing::ValuesIn(AllWriterCases()),
                         CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
