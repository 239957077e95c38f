// The working folder: where it lies, what start-up creates, and the names of
// scratch files and attachment folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <optional>
#include <set>

#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {
namespace {

// Points the cache home (or HOME) at a scratch folder for one test.
class WorkFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Remember("XDG_CACHE_HOME", savedCache_);
        Remember("HOME", savedHome_);
        ::setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
        InitWorkFolder();
    }
    void TearDown() override {
        Restore("XDG_CACHE_HOME", savedCache_);
        Restore("HOME", savedHome_);
        WorkFolder.clear();
    }
    static void Remember(const char* name, std::optional<std::string>& saved) {
        if (const char* value = std::getenv(name)) saved = value;
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved)
            ::setenv(name, saved->c_str(), 1);
        else
            ::unsetenv(name);
    }
    std::filesystem::path Work() const { return cache_ / "Velmora" / "PffTempData"; }

    ScratchDir cache_;
    std::optional<std::string> savedCache_, savedHome_;
};

TEST_F(WorkFolderTest, StartUpCreatesTheFolderAndItsThreeSubfolders) {
    EXPECT_EQ(GetWorkFolder(), common::PathToUtf16(Work()));
    for (const char* sub : {"Bin File", "Folder", "GUIDTempFiles"})
        EXPECT_TRUE(std::filesystem::is_directory(Work() / sub)) << sub;
}

TEST_F(WorkFolderTest, StartingTwiceLeavesExistingContentAlone) {
    std::ofstream(Work() / "GUIDTempFiles" / "kept") << "value";
    InitWorkFolder();
    std::ifstream kept(Work() / "GUIDTempFiles" / "kept");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "value");
}

TEST_F(WorkFolderTest, HomeCacheIsTheFallbackAndWithoutEitherTheFolderStaysEmpty) {
    ScratchDir home;
    ::unsetenv("XDG_CACHE_HOME");
    ::setenv("HOME", home.Path().c_str(), 1);
    InitWorkFolder();
    EXPECT_EQ(GetWorkFolder(), common::PathToUtf16(home / ".cache/Velmora/PffTempData"));
    EXPECT_TRUE(std::filesystem::is_directory(home / ".cache/Velmora/PffTempData/Folder"));
    ::setenv("XDG_CACHE_HOME", "relative/cache", 1);  // not absolute: ignored
    ::unsetenv("HOME");
    InitWorkFolder();
    EXPECT_EQ(GetWorkFolder(), u"");
}

TEST_F(WorkFolderTest, ScratchPathsAreFreshUuidsBelowGuidTempFiles) {
    std::set<std::u16string> seen;
    for (int i = 0; i < 50; ++i) {
        const std::filesystem::path path = common::PathFromUtf16(NewScratchPath());
        EXPECT_EQ(path.parent_path(), Work() / "GUIDTempFiles");
        const std::string name = path.filename().string();
        ASSERT_EQ(name.size(), 36u);
        for (std::size_t k : {8u, 13u, 18u, 23u}) EXPECT_EQ(name[k], '-');
        EXPECT_EQ(name.find_first_not_of("0123456789abcdef-"), std::string::npos) << name;
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_TRUE(seen.insert(path.u16string()).second);
    }
}

TEST_F(WorkFolderTest, AttachmentFoldersOfOneSecondAccumulateSuffixes) {
    std::tm moment{};
    moment.tm_year = 2024 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 5;
    moment.tm_hour = 14;
    moment.tm_min = 7;
    moment.tm_sec = 9;
    moment.tm_isdst = -1;
    const std::time_t now = std::mktime(&moment);
    const std::string expected[] = {"MSG_BODY_20240305_140709", "MSG_BODY_20240305_140709_1",
                                    "MSG_BODY_20240305_140709_1_2",
                                    "MSG_BODY_20240305_140709_1_2_3"};
    for (const std::string& name : expected) {
        std::u16string folder;
        EXPECT_EQ(NewAttachmentFolder(folder, now), 1);
        EXPECT_EQ(common::PathFromUtf16(folder), Work() / "MSG_BODY" / name);
        EXPECT_TRUE(std::filesystem::is_directory(common::PathFromUtf16(folder)));
    }
}

TEST_F(WorkFolderTest, EmptyFilesTruncateAndFailWhereNoFolderIs) {
    const std::filesystem::path file = Work() / "blank.txt";
    std::ofstream(file) << "old content";
    EXPECT_NE(CreateEmptyFile(common::PathToUtf16(file)), 0);
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    EXPECT_EQ(CreateEmptyFile(common::PathToUtf16(Work() / "no-such-folder" / "x.txt")), 0);
}

}  // namespace
}  // namespace velmora::test
