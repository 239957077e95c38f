// Reading wVer from a store file and choosing the binding for it.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "tests/support/test_paths.h"
#include "viewer/data/binding/fresh_status.h"
#include "viewer/data/binding/pff_parsers.h"
#include "viewer/data/binding/store_version.h"

namespace velmora::test {
namespace {

std::u16string WriteFile(const ScratchDir& dir, const std::string& name,
                         const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(dir / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return common::PathToUtf16(dir / name);
}

TEST(StoreVersionTest, VersionIsReadAtOffsetTenLittleEndian) {
    ScratchDir dir;
    std::vector<std::uint8_t> header(16, 0xEE);
    header[10] = 0x24;
    header[11] = 0x00;
    std::uint16_t version = 0;
    OpenStatus status = FreshOpenStatus();
    EXPECT_NE(ReadStoreVersion(WriteFile(dir, "store.ost", header), &version, &status), 0);
    EXPECT_EQ(version, 36);
    EXPECT_EQ(status.code, 1);
}

TEST(StoreVersionTest, ShortFileOpensButLeavesTheVersionAlone) {
    ScratchDir dir;
    std::uint16_t version = 7;
    OpenStatus status = FreshOpenStatus();
    EXPECT_NE(ReadStoreVersion(WriteFile(dir, "short.pst", std::vector<std::uint8_t>(11, 0x17)),
                               &version, &status),
              0);
    EXPECT_EQ(version, 7);
}

TEST(StoreVersionTest, FilesThatCannotBeOpenedReportTheSystemText) {
    ScratchDir dir;
    const struct {
        std::u16string path;
        std::string text;
    } cases[] = {
        {common::PathToUtf16(dir / "missing.pst"), "No such file or directory"},
        {common::PathToUtf16(dir.Path()), "Is a directory"},
    };
    for (const auto& c : cases) {
        std::uint16_t version = 0;
        OpenStatus status = FreshOpenStatus();
        EXPECT_EQ(ReadStoreVersion(c.path, &version, &status), 0);
        EXPECT_EQ(status.code, 0);
        EXPECT_EQ(common::Utf16ToUtf8(status.text), c.text);
    }
}

TEST(StoreVersionTest, EachVersionGetsItsLibraryAndOthersNone) {
    const struct {
        std::uint16_t version;
        const char* library;  // null: no binding
    } cases[] = {
        {14, "Corvex32"},  {15, "Corvex32"}, {21, "Corvex64"}, {23, "Corvex64"},
        {36, "Corvex64K"}, {0, nullptr},     {13, nullptr},    {16, nullptr},
        {22, nullptr},     {35, nullptr},    {37, nullptr},    {0xFFFF, nullptr},
    };
    for (const auto& c : cases) {
        const auto binding = CreateParserForVersion(c.version);
        if (c.library == nullptr) {
            EXPECT_EQ(binding, nullptr) << c.version;
            continue;
        }
        const auto* library = dynamic_cast<const CPFFLibraryDataParser*>(binding.get());
        ASSERT_NE(library, nullptr) << c.version;
        EXPECT_STREQ(library->Names().library, c.library);
        EXPECT_FALSE(library->LibraryLoaded());
        EXPECT_EQ(library->Handle(), nullptr);
    }
}

TEST(StoreVersionTest, OnlyFourteenToThirtySixAreInRange) {
    for (const std::uint16_t v : {0, 13, 37, 0xFFFF}) EXPECT_FALSE(IsVersionInRange(v)) << v;
    for (const std::uint16_t v : {14, 22, 36}) EXPECT_TRUE(IsVersionInRange(v)) << v;
}

}  // namespace
}  // namespace velmora::test
