// What the store writer writes, the engine reads back identically: node
// records, block bytes, data trees and subnode trees, for every variant and
// crypt method, and 4K stores with and without compression.
#include <algorithm>
#include <map>

#include "common/little_endian.h"
#include "tests/support/test_paths.h"
#include "tests/tools/storewriter/writer_cases.h"
#include "tools/storewriter/store_writer.h"

namespace velmora::storewriter::test {
namespace {

struct ExpectedNode {
    explicit ExpectedNode(std::uint32_t n, std::uint32_t p = 0) : nid(n), parent(p) {}

    std::uint32_t nid = 0;
    std::uint32_t parent = 0;
    std::uint64_t bidData = 0;
    std::uint64_t bidSub = 0;
    std::vector<std::uint8_t> data;
    std::map<std::uint32_t, std::vector<std::uint8_t>> subnodeData;
};

class RoundTripTest : public WriterFixture {
  protected:
    std::vector<SubnodeSpec> AddSubnodes(ExpectedNode& node, std::uint32_t count,
                                         std::size_t size) {
        std::vector<SubnodeSpec> entries;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t nid =
                ((0x40 + count - i) << 5) | 0x1F;  // deliberately out of order
            auto bytes = PatternBytes(size, node.nid ^ nid);
            entries.push_back({nid, writer_.AddData(bytes), 0});
            node.subnodeData[nid] = std::move(bytes);
        }
        return entries;
    }

    void AddNode(std::uint32_t nid, std::uint32_t parent, std::size_t size, std::uint32_t subnodes,
                 std::size_t subnodeSize = 100) {
        ExpectedNode node(nid, parent);
        node.data = PatternBytes(size, nid);
        node.bidData = writer_.AddData(node.data);
        node.bidSub = writer_.AddSubnodeTree(AddSubnodes(node, subnodes, subnodeSize));
        writer_.AddNode(nid, node.bidData, node.bidSub, parent);
        expected_.push_back(std::move(node));
    }

    template <typename Db>
    void ExpectSubnodes(const Db& db, const corvex::NbtEntry& record, const ExpectedNode& node) {
        const corvex::SubnodeTree& tree = record.Subnodes();
        EXPECT_EQ(tree.entries.size(), node.subnodeData.size());
        for (const auto& [nid, bytes] : node.subnodeData) {
            EXPECT_EQ(db.ReadSubnodeData(tree, nid), bytes)
                << "subnode " << nid << " of node " << node.nid;
        }
    }

    template <typename Db>
    void ExpectNodes(const Db& db) {
        ASSERT_EQ(db.Nodes().records.size(), expected_.size());
        for (const ExpectedNode& node : expected_) {
            const corvex::NbtEntry* record = db.Walker().FindNode(node.nid);
            ASSERT_NE(record, nullptr) << "node " << node.nid;
            EXPECT_EQ(record->nidParent, node.parent);
            EXPECT_EQ(record->bidData, node.bidData);
            EXPECT_EQ(record->bidSub, node.bidSub);
            EXPECT_EQ(db.Reader().ReadBlock(node.bidData), node.data) << "node " << node.nid;
            ExpectSubnodes(db, *record, node);
        }
    }

    std::vector<ExpectedNode> expected_;
};

TEST_P(RoundTripTest, NodesDataAndSubnodesReadBackIdentically) {
    const std::size_t block = writer_.MaxBlockData();
    // Added out of NID order: the writer sorts the node B-tree.
    AddNode(0x8022 + 0x20 * 7, 0x122, 600, 2);
    AddNode(0x21, 0, 1, 0);
    AddNode(0x122, 0x122, 0, 0);
    AddNode(0x8022, 0x122, block, 1);                     // exactly one full block
    AddNode(0x200004, 0x8022, block + 1, 3);              // the smallest data tree
    AddNode(0x200024, 0x8022, 100000, 5, block * 2 + 7);  // subnodes that are data trees too
    WithDatabase(GetParam().options.variant, Write(), [this](const auto& db) {
        EXPECT_EQ(db.Header().CryptMethod(), GetParam().options.cryptMethod);
        EXPECT_EQ(db.Blocks().records.size(), writer_.BlockCount());
        ExpectNodes(db);
    });
}

TEST_P(RoundTripTest, SubnodeTreeBeyondOneBlockBecomesSiblock) {
    ExpectedNode node(0x200044, 0x8022);
    node.data = PatternBytes(300, node.nid);
    node.bidData = writer_.AddData(node.data);
    std::vector<SubnodeSpec> entries = AddSubnodes(node, 1500, 20);
    // One subnode with a subnode tree of its own.
    ExpectedNode inner(0x77);
    entries.push_back({0x9F, writer_.AddData(PatternBytes(40, 0x9F)),
                       writer_.AddSubnodeTree(AddSubnodes(inner, 3, 30))});
    node.subnodeData[0x9F] = PatternBytes(40, 0x9F);
    node.bidSub = writer_.AddSubnodeTree(entries);
    writer_.AddNode(node.nid, node.bidData, node.bidSub, node.parent);
    expected_.push_back(node);
    WithDatabase(GetParam().options.variant, Write(), [&](const auto& db) {
        ExpectNodes(db);
        const corvex::SubnodeTree& tree = db.Walker().FindNode(node.nid)->Subnodes();
        EXPECT_FALSE(tree.indexEntries.empty()) << "expected an SIBLOCK over SLBLOCKs";
        EXPECT_TRUE(std::is_sorted(tree.indexEntries.begin(), tree.indexEntries.end(),
                                   [](const auto& a, const auto& b) { return a.nid < b.nid; }));
        const corvex::SubnodeTree& nested = tree.Find(0x9F)->Nested();
        for (const auto& [nid, bytes] : inner.subnodeData)
            EXPECT_EQ(db.ReadSubnodeData(nested, nid), bytes);
    });
}

TEST_P(RoundTripTest, SingleDataBlocksKeepTheirBytesAndBids) {
    std::vector<std::pair<std::uint64_t, std::vector<std::uint8_t>>> blocks;
    for (const std::size_t size : {std::size_t{1}, std::size_t{63}, std::size_t{64},
                                   std::size_t{4000}, writer_.MaxBlockData()}) {
        auto bytes = PatternBytes(size, static_cast<std::uint32_t>(size));
        blocks.emplace_back(writer_.AddDataBlock(bytes), std::move(bytes));
    }
    WithDatabase(GetParam().options.variant, Write(), [&](const auto& db) {
        for (const auto& [bid, bytes] : blocks) {
            EXPECT_EQ(bid & 0x3, 0u) << "data BIDs are external";
            EXPECT_EQ(db.Reader().ReadBlock(bid), bytes) << "block " << bid;
        }
    });
}

// 4K trailers: cb is what is stored, cbInflated what it inflates to, and data
// blocks are deflated exactly when compression is on and pays.
using FourKRoundTripTest = RoundTripTest;

TEST_P(FourKRoundTripTest, TrailersDescribeStoredAndInflatedSizes) {
    AddNode(0x21, 0, 5000, 4);
    AddNode(0x122, 0x122, 20000, 0);  // an XBLOCK, which deflates well but must not be
    WithDatabase(Variant::kUnicode4K, Write(), [&](const auto& db) {
        std::size_t deflated = 0;
        for (const auto& record : db.Blocks().records) {
            ASSERT_FALSE(db.Reader().ReadEntry(&record).empty());
            EXPECT_EQ(common::LoadLE<std::uint16_t>(common::Bytes(record.trailer), 0), record.cb);
            const auto inflated = common::LoadLE<std::uint16_t>(common::Bytes(record.trailer), 18);
            EXPECT_GE(inflated, record.cb);
            if (inflated == record.cb) continue;
            ++deflated;
            EXPECT_EQ(record.bid & 0x2, 0u) << "internal blocks are never deflated";
        }
        // Cyclic encoding leaves next to nothing for the deflater to find.
        if (!GetParam().options.compress) {
            EXPECT_EQ(deflated, 0u);
        } else if (GetParam().options.cryptMethod != 2) {
            EXPECT_GT(deflated, 0u);
        }
        ExpectNodes(db);
    });
}

INSTANTIATE_TEST_SUITE_P(AllVariants, RoundTripTest, ::testing::ValuesIn(AllWriterCases()),
                         CaseName);
INSTANTIATE_TEST_SUITE_P(FourK, FourKRoundTripTest, ::testing::ValuesIn(FourKCases()), CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
