// How heap blocks and HIDs are laid out, where a reader of another make
// depends on it: the HID's block index starts at bit 16, or at bit 19 in 4K
// stores; later blocks open with a 2-byte page header, and every 128th block
// from block 8 with a 66-byte fill-level bitmap header.
#include <gtest/gtest.h>

#include "common/little_endian.h"
#include "tools/storewriter/heap_writer.h"

namespace velmora::storewriter {
namespace {

std::vector<std::uint8_t> Filler(std::size_t size) {
    return std::vector<std::uint8_t>(size, 0xAB);
}

// The offset of the first allocation of `block`, from its page map.
std::uint16_t FirstAllocationStart(const std::vector<std::uint8_t>& block) {
    const std::uint16_t map = common::LoadLE<std::uint16_t>(block, 0);
    return common::LoadLE<std::uint16_t>(block, map + 4u);
}

TEST(HeapWriterTest, HidBlockIndexBitsFollowTheVariant) {
    const struct {
        Variant variant;
        unsigned blockShift;
    } cases[] = {{Variant::kAnsi, 16}, {Variant::kUnicode, 16}, {Variant::kUnicode4K, 19}};
    for (const auto& c : cases) {
        HeapWriter heap(LayoutFor(c.variant), kClientSigPropertyContext);
        EXPECT_EQ(heap.Allocate(Filler(3000)), 1u << 5);
        EXPECT_EQ(heap.Allocate(Filler(3000)), 2u << 5);
        EXPECT_EQ(heap.Allocate(Filler(3000)), (1u << c.blockShift) | (1u << 5))
            << "the third does not fit block 0";
    }
}

TEST(HeapWriterTest, BlocksOpenWithTheirHeaderAndEndWithTheirPageMap) {
    const VariantLayout& layout = LayoutFor(Variant::kUnicode);
    HeapWriter heap(layout, kClientSigTableContext);
    for (int i = 0; i < 20; ++i) heap.Allocate(Filler(kMaxHeapAllocation));
    heap.SetUserRoot(0x20);
    const auto blocks = heap.Finish();
    ASSERT_EQ(blocks.size(), 10u);
    EXPECT_EQ(blocks[0][2], 0xEC);
    EXPECT_EQ(blocks[0][3], kClientSigTableContext);
    EXPECT_EQ(common::LoadLE<std::uint32_t>(blocks[0], 4), 0x20u);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_LE(blocks[i].size(), layout.maxBlockData);
        EXPECT_EQ(FirstAllocationStart(blocks[i]), i == 0 ? 12 : i == 8 ? 66 : 2) << "block " << i;
        EXPECT_EQ(
            common::LoadLE<std::uint16_t>(blocks[i], common::LoadLE<std::uint16_t>(blocks[i], 0)),
            2u);
    }
}

}  // namespace
}  // namespace velmora::storewriter
