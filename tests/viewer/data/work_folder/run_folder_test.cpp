// Run folders: private and locked while their run lives, gone with
// everything in them when it ends, and cleared by the next run when a run
// ended without removing its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "tests/support/test_paths.h"
#include "viewer/data/work_folder/run_folder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

TEST(RunFolderTest, IsPrivateAndLockedAndGoesWithEverythingInIt) {
    ScratchDir base;
    fs::path made;
    {
        RunFolder run;
        std::string error;
        ASSERT_TRUE(run.Create(base.Path(), "velmora-test-", error)) << error;
        made = run.Path();
        EXPECT_EQ(made.parent_path(), base.Path());
        EXPECT_TRUE(made.filename().string().starts_with("velmora-test-"));
        struct stat info {};
        ASSERT_EQ(::stat(made.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        // Another run cannot take the lock while this one lives.
        const int lock = ::open((made / ".lock").c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(lock, 0);
        EXPECT_NE(::flock(lock, LOCK_EX | LOCK_NB), 0);
        ::close(lock);
        EXPECT_EQ(RemoveEndedRunFolders(base.Path()), 0u);
        fs::create_directories(made / "Bin File" / "deep");
        std::ofstream(made / "Bin File" / "deep" / "value") << "bytes";
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_TRUE(fs::is_empty(base.Path()));
}

// Copies handed to other programs outlive the run; the next start clears them.
TEST(RunFolderTest, AFolderKeptAtExitStaysUntilALaterStart) {
    ScratchDir base;
    fs::path kept;
    {
        RunFolder run(RunFolder::AtExit::kKeep);
        std::string error;
        ASSERT_TRUE(run.Create(base.Path(), "velmora-kept-", error)) << error;
        kept = run.Path();
        std::ofstream(kept / "report.pdf") << "still being read";
        EXPECT_EQ(RemoveEndedRunFolders(base.Path()), 0u);
    }
    EXPECT_TRUE(fs::exists(kept / "report.pdf"));
    EXPECT_EQ(RemoveEndedRunFolders(base.Path()), 1u);
    EXPECT_FALSE(fs::exists(kept));
}

TEST(RunFolderTest, ReportsAFolderThatCannotBeMade) {
    ScratchDir base;
    RunFolder run;
    std::string error;
    EXPECT_FALSE(run.Create(base / "missing", "velmora-test-", error));
    EXPECT_EQ(error, "cannot create a folder for this run below " + (base / "missing").string() +
                         ": No such file or directory");
    EXPECT_TRUE(run.Path().empty());
}

// What a new run finds below the working folder, and what it clears.
TEST(RunFolderTest, OnlyFoldersOfEndedRunsAreCleared) {
    ScratchDir base;
    const auto endedRun = [&](const std::string& name) {
        fs::create_directories(base / name / "GUIDTempFiles");
        std::ofstream(base / name / ".lock");
        std::ofstream(base / name / "GUIDTempFiles" / "value") << "left behind";
    };
    endedRun("velmora-ended1");
    endedRun("velmora-cli-ended2");
    endedRun("other-ended");                              // not ours by name
    fs::create_directories(base / "velmora-setting-up");  // no lock file yet
    std::ofstream(base / "velmora-file") << "not a folder";
    endedRun("target");
    fs::create_directory_symlink(base / "target", base / "velmora-link");
    RunFolder live;
    std::string error;
    ASSERT_TRUE(live.Create(base.Path(), "velmora-", error)) << error;

    EXPECT_EQ(RemoveEndedRunFolders(base.Path()), 2u);
    for (const char* gone : {"velmora-ended1", "velmora-cli-ended2"})
        EXPECT_FALSE(fs::exists(base / gone)) << gone;
    for (const char* kept :
         {"other-ended", "velmora-setting-up", "velmora-file", "target/GUIDTempFiles/value"})
        EXPECT_TRUE(fs::exists(base / kept)) << kept;
    EXPECT_TRUE(fs::is_symlink(base / "velmora-link"));
    EXPECT_TRUE(fs::is_directory(live.Path()));
}

}  // namespace
}  // namespace velmora::test
