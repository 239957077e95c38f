// Heap blocks, HID and HNID resolution and BTH record collection over
// hand-built heaps, in all three store variants.
#include <gtest/gtest.h>

#include "engine/storage/bth.h"
#include "engine/storage/engine_message.h"
#include "tests/engine/storage/heap_builders.h"

namespace velmora::test {
namespace {

using namespace corvex;

template <typename V>
class HeapOnNodeTest : public ::testing::Test {
  protected:
    static constexpr bool kReports = std::is_same_v<V, Unicode4KTraits>;
};
TYPED_TEST_SUITE(HeapOnNodeTest, StoreVariants);

TEST(HeapIdTest, HidFieldsFollowTheVariant) {
    struct Case {
        std::uint32_t hid;
        std::uint32_t index, block;      // 512-byte variants
        std::uint32_t index4K, block4K;  // 4K variant
    };
    const Case cases[] = {
        {0x00000020, 1, 0, 1, 0},
        {0x00010040, 2, 1, 0x802, 0},  // bit 16: block index, or high hidIndex in 4K
        {0x00080040, 2, 8, 2, 1},      // bit 19: the first 4K block-index bit
        {0xFFFFFFE0, 0x7FF, 0xFFFF, 0x3FFF, 0x1FFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HidIndex<UnicodeTraits>(c.hid), c.index) << std::hex << c.hid;
        EXPECT_EQ(HidBlockIndex<UnicodeTraits>(c.hid), c.block) << std::hex << c.hid;
        EXPECT_EQ(HidIndex<AnsiTraits>(c.hid), c.index) << std::hex << c.hid;
        EXPECT_EQ(HidIndex<Unicode4KTraits>(c.hid), c.index4K) << std::hex << c.hid;
        EXPECT_EQ(HidBlockIndex<Unicode4KTraits>(c.hid), c.block4K) << std::hex << c.hid;
    }
}

TYPED_TEST(HeapOnNodeTest, HidSelectsBlockAndAllocation) {
    HeapBlockBuilder first, second(false);
    first.Allocate({1, 1});
    second.Allocate({2, 1});
    second.Allocate({2, 2, 2});
    const auto heap = HeapOf<TypeParam>({first.Build(), second.Build()});
    EXPECT_EQ(heap.FindHid(MakeHid<TypeParam>(1, 2)), (ByteBuffer{2, 2, 2}));
    EXPECT_EQ(heap.FindHid(MakeHid<TypeParam>(0, 1)), (ByteBuffer{1, 1}));
}

TYPED_TEST(HeapOnNodeTest, HidThatNamesNoAllocation) {
    HeapBlockBuilder block;
    block.Allocate({7});
    const auto heap = HeapOf<TypeParam>({block.Build()});
    struct Case {
        const char* what;
        std::uint32_t hid;
        std::size_t messages;  // in the variant that reports them
    };
    const Case cases[] = {
        {"hidIndex 0", MakeHid<TypeParam>(0, 0), 1},
        {"hidIndex past the allocations", MakeHid<TypeParam>(0, 2), 1},
        {"block past the heap", MakeHid<TypeParam>(1, 1), 0},
    };
    for (const Case& c : cases) {
        MessageCount messages;
        EXPECT_FALSE(heap.FindHid(c.hid).has_value()) << c.what;
        EXPECT_EQ(messages.Shown(), this->kReports ? c.messages : 0) << c.what;
    }
    MessageCount messages;
    EXPECT_FALSE(HeapOnNode<TypeParam>().FindHid(MakeHid<TypeParam>(0, 1)).has_value());
    EXPECT_EQ(messages.Shown(), 0u) << "an empty heap is quiet";
}

TYPED_TEST(HeapOnNodeTest, MissingAllocationMessageReachesInstalledHandler) {
    std::vector<std::string> shown;
    const EngineMessageHandler previous = SetEngineMessageHandler(
        [&](std::string_view text, std::string_view) { shown.emplace_back(text); });
    const auto heap = HeapOf<TypeParam>({HeapBlockBuilder().Build()});
    heap.FindHid(MakeHid<TypeParam>(0, 1));
    heap.FindHid(MakeHid<TypeParam>(0, 1));
    SetEngineMessageHandler(previous);
    const std::vector<std::string> expected(this->kReports ? 2 : 0,
                                            "CBlockIndexArray is notFound Data");
    EXPECT_EQ(shown, expected);
}

TYPED_TEST(HeapOnNodeTest, DamagedPageMaps) {
    HeapBlockBuilder good;
    good.Allocate({1, 2, 3, 4});
    const ByteBuffer base = good.Build();
    const std::size_t ibHnpm = common::LoadLE<std::uint16_t>(base, 0);

    ByteBuffer hnpmPastEnd = base;
    PutLE(hnpmPastEnd, 0, base.size() + 10, 2);
    ByteBuffer tooManyAllocs = base;
    PutLE(tooManyAllocs, ibHnpm, 500, 2);
    ByteBuffer outsideBlock = base;
    PutLE(outsideBlock, ibHnpm + 4, 0xFFF0, 2);  // rgibAlloc[0] past the block
    PutLE(outsideBlock, ibHnpm + 6, 0xFFF6, 2);
    ByteBuffer reversed = base;
    PutLE(reversed, ibHnpm + 6, 2, 2);  // end before start: a 16-bit wrapped size

    struct Case {
        const char* what;
        ByteBuffer block;
        std::optional<ByteBuffer> value;
    };
    const Case cases[] = {
        {"ibHnpm past the block", hnpmPastEnd, std::nullopt},
        {"rgibAlloc runs past the block", tooManyAllocs, std::nullopt},
        {"allocation outside the block is zero-filled", outsideBlock, ByteBuffer(6, 0)},
        {"reversed offsets give a zero-filled wrapped size", reversed,
         ByteBuffer(0x10000 + 2 - 12, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HeapOf<TypeParam>({c.block}).FindHid(MakeHid<TypeParam>(0, 1)), c.value)
            << c.what;
    }
}

TYPED_TEST(HeapOnNodeTest, ResolveHnidKinds) {
    HeapBlockBuilder block;
    block.Allocate({9, 8});
    const auto heap = HeapOf<TypeParam>({block.Build()});

    const HeapValue none = ResolveHnid(heap, 0);
    EXPECT_TRUE(none.bytes.empty());
    EXPECT_FALSE(none.inSubnode);

    const HeapValue subnode = ResolveHnid(heap, 0x8025);
    EXPECT_EQ(subnode.bytes, U32(0x8025));
    EXPECT_TRUE(subnode.inSubnode);

    const HeapValue hid = ResolveHnid(heap, MakeHid<TypeParam>(0, 1));
    EXPECT_EQ(hid.bytes, (ByteBuffer{9, 8}));
    EXPECT_FALSE(hid.inSubnode);
}

TYPED_TEST(HeapOnNodeTest, BthOneIndexLevelJoinsLeavesLastFirst) {
    HeapBlockBuilder block;
    const auto leafA = MakeHid<TypeParam>(0, block.Allocate({0xA, 0xA}));
    const auto leafB = MakeHid<TypeParam>(0, block.Allocate({0xB}));
    ByteBuffer index;
    for (std::uint32_t leaf : {leafA, leafB}) {
        Append(index, U32(0x1234));  // cbKey = 4
        Append(index, U32(leaf));
    }
    Append(index, U32(0x5678));
    Append(index, U32(0x1A1));  // the third leaf lives in a subnode
    const auto root = MakeHid<TypeParam>(0, block.Allocate(index));
    FakeSubnodes subnodes;
    subnodes.Put(0x1A1, {{0xC, 0xC}, {0xC}});
    const auto heap = HeapOf<TypeParam>({block.Build()});

    const ByteBuffer records =
        CollectBthRecords(heap, subnodes, BthHeader::Parse(BthHeaderBytes(4, 4, 1, root)));
    EXPECT_EQ(records, (ByteBuffer{0xC, 0xC, 0xC, 0xB, 0xA, 0xA}));
    EXPECT_EQ(CollectBthRecords(heap, subnodes, BthHeader::Parse(BthHeaderBytes(4, 4, 0, leafB))),
              ByteBuffer{0xB});
    EXPECT_TRUE(
        CollectBthRecords(heap, subnodes, BthHeader::Parse(BthHeaderBytes(4, 4, 1, 0))).empty());
}

TEST(BthHeaderTest, ShortHeaderReadsAsZero) {
    const BthHeader header = BthHeader::Parse(ByteBuffer{0xB5, 4, 4, 0, 0x20, 0});
    EXPECT_EQ(header.cbKey, 0);
    EXPECT_EQ(header.hidRoot, 0u);
}

}  // namespace
}  // namespace velmora::test
