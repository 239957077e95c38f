// Property contexts read from hand-built heaps, in all three store variants.
#include <gtest/gtest.h>

#include "engine/storage/property_context.h"
#include "tests/engine/storage/heap_builders.h"

namespace velmora::test {
namespace {

using namespace corvex;

struct Record {
    std::uint16_t id;
    std::uint16_t type;
    std::uint32_t hnid;
};

ByteBuffer RecordBytes(const std::vector<Record>& records) {
    ByteBuffer out;
    for (const Record& r : records) {
        PutLE(out, out.size(), r.id, 2);
        PutLE(out, out.size(), r.type, 2);
        Append(out, U32(r.hnid));
    }
    return out;
}

// A property context heap around `block`, which already holds the values.
template <typename V>
HeapOnNode<V> PropertyHeap(HeapBlockBuilder& block, const std::vector<Record>& records,
                           std::uint8_t levels = 0) {
    const auto root = MakeHid<V>(0, block.Allocate(RecordBytes(records)));
    const auto header = MakeHid<V>(0, block.Allocate(BthHeaderBytes(2, 6, levels, root)));
    block.ClientSig(0xBC).UserRoot(header);
    return HeapOf<V>({block.Build()});
}

template <typename V>
class PropertyContextTest : public ::testing::Test {
  protected:
    PropertyMap Read(const HeapOnNode<V>& heap) {
        PropertyMap map;
        ReadPropertyContext(heap, subnodes, map);
        return map;
    }
    FakeSubnodes subnodes;
};
TYPED_TEST_SUITE(PropertyContextTest, StoreVariants);

TYPED_TEST(PropertyContextTest, ValuesByType) {
    HeapBlockBuilder block;
    const ByteBuffer filetime{1, 2, 3, 4, 5, 6, 7, 8};
    const auto timeHid = MakeHid<TypeParam>(0, block.Allocate(filetime));
    const auto heap = PropertyHeap<TypeParam>(
        block, {
                   {0x0E07, 0x0003, 0x00000409},  // PR_MESSAGE_FLAGS: the HNID is the value
                   {0x0057, 0x000B, 0x00000001},  // PT_BOOLEAN
                   {0x0039, 0x0040, timeHid},     // PT_SYSTIME in the heap
                   {0x1000, 0x001F, 0},           // no value
                   {0x0FFF, 0x0102, 0x00008A25},  // PT_BINARY in a subnode
               });
    const PropertyMap map = this->Read(heap);
    ASSERT_EQ(map.Size(), 5u);
    EXPECT_EQ(map.Find(0x0E07)->bytes, U32(0x409));
    EXPECT_EQ(map.Find(0x0057)->bytes, U32(1));
    EXPECT_EQ(map.Find(0x0039)->bytes, filetime);
    EXPECT_EQ(map.Find(0x0039)->type, 0x0040);
    EXPECT_TRUE(map.Find(0x1000)->Empty());
    const PropValue& binary = *map.Find(0x0FFF);
    EXPECT_TRUE(binary.inSubnode);
    EXPECT_EQ(binary.SubnodeNid(), 0x8A25u);
    EXPECT_EQ(binary.owner, &this->subnodes.Tree());
    EXPECT_FALSE(map.Find(0x0039)->inSubnode);
}

TYPED_TEST(PropertyContextTest, RepeatedIdsKeepRecordOrder) {
    HeapBlockBuilder block;
    const auto heap =
        PropertyHeap<TypeParam>(block, {{0x0E07, 3, 2}, {0x0017, 3, 1}, {0x0E07, 3, 1}});
    const PropertyMap map = this->Read(heap);
    EXPECT_EQ(map.Count(0x0E07), 2u);
    EXPECT_EQ(map.Find(0x0E07)->bytes, U32(2));
    EXPECT_EQ(map.begin()->first, 0x0017) << "iterated in ascending id";
}

TYPED_TEST(PropertyContextTest, HeapsThatGiveNoProperties) {
    HeapBlockBuilder emptyRoot;
    emptyRoot.ClientSig(0xBC).UserRoot(
        MakeHid<TypeParam>(0, emptyRoot.Allocate(BthHeaderBytes(2, 6, 0, 0))));
    HeapBlockBuilder wrongSig;
    const auto wrongSigHeap = PropertyHeap<TypeParam>(wrongSig, {{1, 3, 1}});
    ByteBuffer tableSig(wrongSigHeap.FirstBlock().begin(), wrongSigHeap.FirstBlock().end());
    tableSig[3] = 0x7C;
    HeapBlockBuilder indexed;
    const auto indexedHeap = PropertyHeap<TypeParam>(indexed, {{1, 3, 1}}, 1);

    struct Case {
        const char* what;
        HeapOnNode<TypeParam> heap;
    };
    const Case cases[] = {
        {"empty BTH root", HeapOf<TypeParam>({emptyRoot.Build()})},
        {"table signature", HeapOf<TypeParam>({tableSig})},
        {"index levels", indexedHeap},
        {"no blocks", HeapOnNode<TypeParam>()},
        {"first block shorter than its header",
         HeapOf<TypeParam>({ByteBuffer{0, 0, 0xEC, 0xBC, 0x20}})},
    };
    for (const Case& c : cases) {
        MessageCount messages;
        EXPECT_TRUE(this->Read(c.heap).Empty()) << c.what;
        EXPECT_EQ(messages.Shown(), 0u) << c.what;
    }
}

TYPED_TEST(PropertyContextTest, MoreThan65535RecordsInASubnode) {
    constexpr std::uint32_t kCount = 65537;
    std::vector<Record> records;
    for (std::uint32_t i = 0; i < kCount; ++i)
        records.push_back({static_cast<std::uint16_t>(i), 3, i});
    this->subnodes.Put(0x1C1, {RecordBytes(records)});
    HeapBlockBuilder block;
    block.ClientSig(0xBC).UserRoot(
        MakeHid<TypeParam>(0, block.Allocate(BthHeaderBytes(2, 6, 0, 0x1C1))));
    const PropertyMap map = this->Read(HeapOf<TypeParam>({block.Build()}));
    EXPECT_EQ(map.Size(), kCount);
    EXPECT_EQ(map.Count(0), 2u) << "id 0x10000 wraps to 0 and is kept after the first";
}

TYPED_TEST(PropertyContextTest, UnresolvableHidGivesEmptyValueAndReadingGoesOn) {
    HeapBlockBuilder block;
    const auto heap = PropertyHeap<TypeParam>(
        block, {{0x0037, 0x001F, MakeHid<TypeParam>(0, 40)}, {0x0E07, 3, 5}});
    MessageCount messages;
    const PropertyMap map = this->Read(heap);
    EXPECT_TRUE(map.Find(0x0037)->Empty());
    EXPECT_EQ(map.Find(0x0E07)->bytes, U32(5));
    EXPECT_EQ(messages.Shown(), TypeParam::kReportsMissingHeapAllocation ? 1u : 0u);
}

}  // namespace
}  // namespace velmora::test
