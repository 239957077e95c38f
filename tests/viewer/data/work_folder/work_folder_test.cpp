// The working folder: where it lies, what start-up creates, and the names of
// scratch files and attachment folders.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
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

TEST_F(WorkFolderTest, HomeCacheIsTheFallback) {
    ScratchDir home;
    ::unsetenv("XDG_CACHE_HOME");
    ::setenv("HOME", home.Path().c_str(), 1);
    EXPECT_TRUE(InitWorkFolder());
    EXPECT_EQ(GetWorkFolder(), common::PathToUtf16(home / ".cache/Velmora/PffTempData"));
    EXPECT_TRUE(std::filesystem::is_directory(home / ".cache/Velmora/PffTempData/Folder"));
}

// Without a cache home the folder lies below the temporary folder, in a
// folder only this user may enter; a name someone else prepared there is
// refused, and the caller is told, rather than the work going to "/".
TEST_F(WorkFolderTest, WithoutAHomeAPrivateTemporaryFolderOrAReportedFailure) {
    namespace fs = std::filesystem;
    const std::optional<std::string> savedTemp =
        std::getenv("TMPDIR") ? std::optional<std::string>(std::getenv("TMPDIR")) : std::nullopt;
    ScratchDir temp, elsewhere;
    ::setenv("TMPDIR", temp.Path().c_str(), 1);
    ::setenv("XDG_CACHE_HOME", "relative/cache", 1);  // not absolute: ignored
    ::unsetenv("HOME");
    const fs::path home = temp / ("velmora-" + std::to_string(::geteuid()));
    const struct {
        const char* name;
        std::function<void()> prepare;
        bool usable;
    } cases[] = {
        {"absent", [] {}, true},
        {"ours, open to others",
         [&] {
             fs::create_directory(home);
             fs::permissions(home, fs::perms::all);
         },
         true},
        {"a link to a folder", [&] { fs::create_directory_symlink(elsewhere.Path(), home); },
         false},
        {"a file", [&] { std::ofstream(home) << "x"; }, false},
    };
    for (const auto& c : cases) {
        fs::remove_all(home);
        c.prepare();
        std::string error = "unset";
        EXPECT_EQ(InitWorkFolder(&error), c.usable) << c.name;
        if (c.usable) {
            EXPECT_EQ(error, "") << c.name;
            EXPECT_EQ(GetWorkFolder(), common::PathToUtf16(home / "Velmora/PffTempData")) << c.name;
            EXPECT_TRUE(fs::is_directory(home / "Velmora/PffTempData/GUIDTempFiles")) << c.name;
            EXPECT_EQ(fs::status(home).permissions() & fs::perms::all, fs::perms::owner_all)
                << c.name;
        } else {
            EXPECT_EQ(GetWorkFolder(), u"") << c.name;
            EXPECT_EQ(error, "cannot use " + home.string() +
                                 " as the working folder: it is not a folder of this user's own")
                << c.name;
            EXPECT_TRUE(fs::is_empty(elsewhere.Path())) << c.name;
        }
    }
    fs::remove_all(home);
    Restore("TMPDIR", savedTemp);
}

TEST_F(WorkFolderTest, AScopePointsTheFolderElsewhereUntilItGoes) {
    const std::u16string usual = GetWorkFolder();
    ScratchDir run;
    {
        const WorkFolderScope scope(common::PathToUtf16(run / "work"));
        EXPECT_TRUE(scope.Ready());
        EXPECT_EQ(GetWorkFolder(), common::PathToUtf16(run / "work"));
        EXPECT_TRUE(std::filesystem::is_directory(run / "work" / "GUIDTempFiles"));
    }
    EXPECT_EQ(GetWorkFolder(), usual);
    {
        const WorkFolderScope scope(common::PathToUtf16(run / "missing" / "work"));
        EXPECT_FALSE(scope.Ready());
        EXPECT_NE(scope.Error().find((run / "missing" / "work").string()), std::string::npos);
        EXPECT_EQ(GetWorkFolder(), u"");
        std::u16string folder;
        EXPECT_EQ(NewAttachmentFolder(folder), 0) << "no folder below the file-system root";
    }
    EXPECT_EQ(GetWorkFolder(), usual);
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
