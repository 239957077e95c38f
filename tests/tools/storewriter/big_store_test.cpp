// Stores at the sizes that need the deeper structures: node B-trees of
// 200,000 nodes over several page levels, and values beyond what one XBLOCK
// lists, which become XXBLOCK data trees.
#include <algorithm>
#include <string>

#include "engine/storage/engine_message.h"
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

template <typename V>
std::string LibraryOf(const corvex::NodeDatabase<V>&) {
    return V::kLibraryName;
}

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

// A value far larger than its file, made of one shared block of zeros (a
// 4K block compresses to a sliver of itself): the engine reads at most 4 MiB
// + 16 x the file's size of it and says so, naming both sizes, rather than
// handing out a value that quietly lost its tail. One within the cap reads
// whole without a word.
TEST_P(BigStoreTest, ValuePastTheEnginesCapIsCutWithAMessage) {
    const std::vector<std::uint8_t> zeros(writer_.MaxBlockData(), 0);
    constexpr std::uint64_t kWithin = 400;  // about 3.2 MiB
    constexpr std::uint64_t kPast = 2500;   // about 20 MiB
    const std::uint64_t within = writer_.AddRepeatedData(zeros, kWithin);
    const std::uint64_t past = writer_.AddRepeatedData(zeros, kPast);
    const std::filesystem::path store = Write();
    const std::uint64_t cap = (4u << 20) + 16 * std::filesystem::file_size(store);
    const std::uint64_t declared = kPast * zeros.size();
    ASSERT_LT(cap, declared) << "the value must reach past the cap";
    WithDatabase(GetParam().options.variant, store, [&](const auto& db) {
        corvex::ResetRecordedEngineMessages();
        EXPECT_EQ(db.Reader().ReadBlock(within).size(), kWithin * zeros.size());
        EXPECT_EQ(corvex::RecordedEngineMessages().count, 0u);

        const auto value = db.Reader().ReadBlock(past);
        EXPECT_EQ(value.size(), cap);
        EXPECT_EQ(std::count(value.begin(), value.end(), 0), static_cast<std::ptrdiff_t>(cap));
        const corvex::EngineMessageLog log = corvex::RecordedEngineMessages();
        EXPECT_EQ(log.count, 1u);
        EXPECT_EQ(log.lastText, "A value of " + std::to_string(declared) +
                                    " bytes is more than the engine reads from a file of this "
                                    "size; only its first " +
                                    std::to_string(cap) + " bytes are kept");
        EXPECT_EQ(log.lastCaption, LibraryOf(db));
    });
}

INSTANTIATE_TEST_SUITE_P(EachVariant, BigStoreTest, ::testing::ValuesIn(VariantCases()), CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
