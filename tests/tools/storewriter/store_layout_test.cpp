// The file as other readers see it: header fields and CRCs, allocation map
// pages where real files keep them, and maps that mark exactly the space the
// blocks and pages use.
#include <fstream>
#include <iterator>

#include "common/little_endian.h"
#include "tests/support/test_paths.h"
#include "tests/tools/storewriter/writer_cases.h"
#include "tools/storewriter/format_crc.h"
#include "tools/storewriter/store_writer.h"
#include "tools/storewriter/synthetic_store.h"

namespace velmora::storewriter::test {
namespace {

using common::Bytes;
using common::LoadLE;

// Where real stores of each variant keep things.
struct Geometry {
    std::uint16_t version;
    std::size_t eofOffset;
    std::size_t amapLastOffset;
    std::size_t amapFreeOffset;
    std::size_t cryptOffset;
    std::size_t width;
    std::uint64_t firstMap;
    std::size_t pageSize;
    std::size_t trailer;
    std::size_t bitsOffset;
    std::size_t bitsSize;
    std::size_t blockTrailer;
    std::size_t blockAlign;

    std::uint64_t Coverage() const { return std::uint64_t{bitsSize} * 8 * 64; }
    std::uint32_t PageCrc(common::Bytes page) const {
        return common::LoadLE<std::uint32_t>(page, trailer + (width == 4 ? 8 : 4));
    }
    std::uint64_t PageBid(common::Bytes page) const {
        return common::LoadWidth(page, trailer + (width == 4 ? 4 : 8), width);
    }
};

Geometry GeometryOf(Variant variant) {
    switch (variant) {
        case Variant::kAnsi:
            return {14, 168, 172, 176, 461, 4, 0x4400, 512, 500, 4, 496, 12, 64};
        case Variant::kUnicode4K:
            return {36, 184, 192, 200, 513, 8, 0x22000, 4096, 4072, 0, 4072, 24, 512};
        case Variant::kUnicode:
            break;
    }
    return {23, 184, 192, 200, 513, 8, 0x4400, 512, 496, 0, 496, 16, 64};
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StoreLayoutTest : public WriterFixture {
  protected:
    StoreLayoutTest() : geometry_(GeometryOf(GetParam().options.variant)) {}

    std::filesystem::path Build(const SyntheticStoreShape& shape) {
        EXPECT_TRUE(BuildSyntheticStore(writer_, shape));
        const auto path = Write();
        file_ = ReadFile(path);
        return path;
    }

    std::uint64_t Field(std::size_t offset) const {
        return common::LoadWidth(common::Bytes(file_), offset, geometry_.width);
    }
    common::Bytes PageAt(std::uint64_t ib) const {
        return common::Bytes(file_).subspan(ib, geometry_.pageSize);
    }

    std::uint64_t RegionStart(std::uint64_t offset) const {
        return offset - (offset - geometry_.firstMap) % geometry_.Coverage();
    }

    // The AMap page, and in every eighth region of 512-byte-page stores a PMap.
    std::uint64_t MapPagesSize(std::uint64_t offset) const {
        const std::uint64_t region = (offset - geometry_.firstMap) / geometry_.Coverage();
        return geometry_.pageSize * (geometry_.pageSize == 512 && region % 8 == 0 ? 2 : 1);
    }

    bool SlotMarked(std::uint64_t offset) const {
        const std::uint64_t start = RegionStart(offset);
        const std::uint64_t slot = (offset - start) / 64;
        return (file_[start + geometry_.bitsOffset + slot / 8] & (0x80 >> (slot % 8))) != 0;
    }

    void ExpectExtentMarked(std::uint64_t ib, std::uint64_t size, const char* what) {
        for (std::uint64_t at = ib; at < ib + size; at += 64) {
            ASSERT_TRUE(SlotMarked(at)) << what << " at " << ib;
            ASSERT_GE(at - RegionStart(at), MapPagesSize(at)) << what << " overlaps a map page";
        }
    }

    template <typename Page>
    void ExpectPagesMarked(const Page& page, std::uint64_t ib) {
        ExpectExtentMarked(ib, geometry_.pageSize, "B-tree page");
        for (const auto& child : page.children) ExpectPagesMarked(*child, child->ref.ib);
    }

    Geometry geometry_;
    std::vector<std::uint8_t> file_;
};

TEST_P(StoreLayoutTest, HeaderCarriesVersionRootsEofAndBothCrcs) {
    Build(SyntheticStoreShape{});
    ASSERT_GT(file_.size(), 4096u);
    const common::Bytes h(file_);
    EXPECT_EQ(std::string(file_.begin(), file_.begin() + 4), "!BDN");
    EXPECT_EQ(std::string(file_.begin() + 8, file_.begin() + 10), "SM");
    EXPECT_EQ(common::LoadLE<std::uint16_t>(h, 10), geometry_.version);
    EXPECT_EQ(common::LoadLE<std::uint16_t>(h, 12), 19);
    EXPECT_EQ(common::LoadLE<std::uint32_t>(h, 4), FormatCrc(h.subspan(8, 471)));
    if (geometry_.width == 8) {
        EXPECT_EQ(common::LoadLE<std::uint32_t>(h, 524), FormatCrc(h.subspan(8, 516)));
    }
    EXPECT_EQ(file_[geometry_.cryptOffset - 1], 0x80) << "bSentinel";
    EXPECT_EQ(file_[geometry_.cryptOffset], GetParam().options.cryptMethod);
    EXPECT_EQ(Field(geometry_.eofOffset), file_.size());
    EXPECT_EQ(Field(geometry_.amapLastOffset), geometry_.firstMap);
}

TEST_P(StoreLayoutTest, AllocationMapsMarkExactlyTheUsedSpace) {
    SyntheticStoreShape shape;
    shape.folders = 4;
    shape.messagesPerFolder = 50;
    shape.bodySize = 40000;  // about 8 MB: several map regions in every variant
    const auto path = Build(shape);
    const std::uint64_t eof = file_.size();
    const std::uint64_t regions =
        (eof - geometry_.firstMap + geometry_.Coverage() - 1) / geometry_.Coverage();
    ASSERT_GE(regions, 3u);
    std::uint64_t freeBytes = 0;
    for (std::uint64_t r = 0; r < regions; ++r) {
        const std::uint64_t start = geometry_.firstMap + r * geometry_.Coverage();
        const common::Bytes page = PageAt(start);
        EXPECT_EQ(page[geometry_.trailer], 0x84);
        EXPECT_EQ(page[geometry_.trailer + 1], 0x84);
        EXPECT_EQ(geometry_.PageCrc(page), FormatCrc(page.first(geometry_.trailer)))
            << "AMap " << r;
        EXPECT_EQ(geometry_.PageBid(page), start);
        for (std::uint64_t at = start; at < std::min(eof, start + geometry_.Coverage()); at += 64) {
            if (!SlotMarked(at)) freeBytes += 64;
        }
    }
    if (geometry_.pageSize == 512) {
        EXPECT_EQ(PageAt(geometry_.firstMap + 512)[geometry_.trailer], 0x83) << "PMap";
    }
    EXPECT_EQ(Field(geometry_.amapFreeOffset), freeBytes);
    EXPECT_EQ(Field(geometry_.amapLastOffset),
              geometry_.firstMap + (regions - 1) * geometry_.Coverage());
    WithDatabase(GetParam().options.variant, path, [&](const auto& db) {
        for (const auto& block : db.Blocks().records) {
            const std::uint64_t size =
                (block.cb + geometry_.blockTrailer + geometry_.blockAlign - 1) /
                geometry_.blockAlign * geometry_.blockAlign;
            ExpectExtentMarked(block.ib, size, "block");
        }
        ExpectPagesMarked(db.Blocks().root, db.Header().BbtRootIb());
        ExpectPagesMarked(db.Nodes().root, db.Header().NbtRootIb());
    });
}

INSTANTIATE_TEST_SUITE_P(EachVariant, StoreLayoutTest, ::testing::ValuesIn(VariantCases()),
                         CaseName);

TEST(FormatCrcTest, MatchesTheHeaderCrcsOfRealStores) {
    VELMORA_REQUIRE_CORPUS();
    for (const char* name :
         {"unicode-basic.pst", "ansi-many-items.pst", "ost4k/unicode-basic.ost"}) {
        const std::vector<std::uint8_t> file = ReadFile(velmora::test::CorpusFile(name));
        ASSERT_GE(file.size(), 564u);
        EXPECT_EQ(common::LoadLE<std::uint32_t>(common::Bytes(file), 4),
                  FormatCrc(common::Bytes(file).subspan(8, 471)))
            << name;
    }
}

TEST(StoreWriterErrorsTest, OversizedBlockFailsTheStoreWithAReason) {
    velmora::test::ScratchDir scratch;
    StoreWriter writer(WriterOptions{.spoolDirectory = scratch.Path()});
    EXPECT_EQ(writer.AddDataBlock(std::vector<std::uint8_t>(writer.MaxBlockData() + 1)), 0u);
    std::string error;
    EXPECT_FALSE(writer.WriteTo(scratch / "bad.pst", &error));
    EXPECT_NE(error.find("exceeds the block size"), std::string::npos) << error;
}

TEST(StoreWriterErrorsTest, StoreIsWrittenOnlyOnce) {
    velmora::test::ScratchDir scratch;
    StoreWriter writer(WriterOptions{.spoolDirectory = scratch.Path()});
    writer.AddNode(0x21, writer.AddData(std::vector<std::uint8_t>(10, 1)), 0, 0);
    std::string error;
    EXPECT_TRUE(writer.WriteTo(scratch / "one.pst", &error)) << error;
    EXPECT_FALSE(writer.WriteTo(scratch / "two.pst", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(scratch / "two.pst"));
}

TEST(StoreWriterErrorsTest, MissingSpoolFolderIsReported) {
    StoreWriter writer(WriterOptions{.spoolDirectory = "/nonexistent/velmora"});
    EXPECT_EQ(writer.AddData(std::vector<std::uint8_t>(10, 1)), 0u);
    std::string error;
    EXPECT_FALSE(writer.WriteTo("/nonexistent/velmora/x.pst", &error));
    EXPECT_NE(error.find("spool"), std::string::npos) << error;
}

}  // namespace
}  // namespace velmora::storewriter::test
