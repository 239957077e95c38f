// Stores at the sizes that need the deeper structures: node B-trees of
// 200,000 nodes over several page levels, and values beyond what one XBLOCK
// lists, which become XXBLOCK data trees.
#include "tests/support/test_paths.h"
#include "tests/tools/storewriter/writer_cases.h"
#include "tools/storewriter/store_writer.h"

namespace velmora::storewriter::test {
namespace {

constexpr std::uint32_t kNodeCount = 200000;
constexpr std::uint32_t kSharedBlocks = 16;

class BigStoreTest : public WriterFixture {
  protected:
    static std::uint32_t NthNid(std::uint32_t i) {
        return ((0x400 + i) << 5) | (i % 3 == 0 ? 0x02 : 0x04);
    }
};

template <typename Page>
int Depth(const Page& page) {
    return page.children.empty() ? 1 : 1 + Depth(*page.children.front());
}

TEST_P(BigStoreTest, TwoHundredThousandNodesReadBackThroughSeveralLevels) {
    std::vector<std::uint64_t> bids;
    for (std::uint32_t i = 0; i < kSharedBlocks; ++i)
        bids.push_back(writer_.AddData(PatternBytes(64 + i, i)));
    // A stride coprime with the count adds the nodes in scrambled NID order.
    for (std::uint32_t k = 0; k < kNodeCount; ++k) {
        const std::uint32_t i = static_cast<std::uint32_t>((std::uint64_t{k} * 7919) % kNodeCount);
        writer_.AddNode(NthNid(i), bids[i % kSharedBlocks], 0, NthNid(i / 2));
    }
    WithDatabase(GetParam().options.variant, Write(), [&](const auto& db) {
        ASSERT_EQ(db.Nodes().records.size(), kNodeCount);
        EXPECT_GE(Depth(db.Nodes().root), 3);
        for (std::uint32_t i = 0; i < kNodeCount; ++i) {
            const corvex::NbtEntry* record = db.Walker().FindNode(NthNid(i));
            ASSERT_NE(record, nullptr) << i;
            ASSERT_EQ(record->bidData, bids[i % kSharedBlocks]) << i;
            ASSERT_EQ(record->bidSub, 0u) << i;
            ASSERT_EQ(record->nidParent, NthNid(i / 2)) << i;
        }
        EXPECT_EQ(db.Reader().ReadBlock(bids[5]), PatternBytes(64 + 5, 5));
    });
}

TEST_P(BigStoreTest, ValueBeyondOneXBlockIsAnXXBlockTree) {
    const std::size_t block = writer_.MaxBlockData();
    const std::size_t idWidth = GetParam().options.variant == Variant::kAnsi ? 4 : 8;
    const std::size_t oneXBlock = (block - 8) / idWidth * block;
    const std::vector<std::uint8_t> value = PatternBytes(oneXBlock + 12345, 77);
    const std::uint64_t bid = writer_.AddData(value);
    writer_.AddNode(0x21, bid, 0, 0);
    WithDatabase(GetParam().options.variant, Write(), [&](const auto& db) {
        EXPECT_NE(bid & 0x2, 0u) << "the top of a data tree is an internal block";
        const auto top = db.Reader().ReadSingleBlock(db.Reader().Lookup(bid));
        ASSERT_GE(top.size(), 8u);
        EXPECT_EQ(top[0], 0x01);
        EXPECT_EQ(top[1], 2) << "cLevel 2: an XXBLOCK";
        EXPECT_TRUE(db.Reader().ReadBlock(bid) == value);
    });
}

INSTANTIATE_TEST_SUITE_P(EachVariant, BigStoreTest, ::testing::ValuesIn(VariantCases()), CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
