// Copies handed to other programs: recorded as written, and cleared by a later
// start only while they are still exactly as written. An edit the user saved
// into a copy, or a file saved beside it, is never removed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "tests/support/test_paths.h"
#include "viewer/data/work_folder/copy_record.h"
#include "viewer/data/work_folder/opened_copies.h"
#include "viewer/data/work_folder/run_folder.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

fs::path RecordFile(const fs::path& copy) {
    fs::path record = copy.parent_path();
    record += ".record";
    return record;
}

// Changes the bytes but keeps the size and the modification time.
void ChangeInPlaceUnseen(const fs::path& copy) {
    struct stat info {};
    ASSERT_EQ(::stat(copy.c_str(), &info), 0);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
    Write(copy, "REPORT");
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0);
}

struct CopyCase {
    const char* label;
    std::function<void(const fs::path& copy)> afterRun;  // what happened to it since
    bool removed;                                        // the start removed the copy
    bool copyStays;    // something is at the copy's path afterwards
    bool folderStays;  // the run's folder of copies is still there
};

TEST(OpenedCopiesTest, ALaterStartRemovesOnlyCopiesStillAsWritten) {
    const CopyCase cases[] = {
        {"untouched", [](const fs::path&) {}, true, false, false},
        {"edited and saved in place", [](const fs::path& c) { ChangeInPlaceUnseen(c); }, false,
         true, true},
        {"grown",
         [](const fs::path& c) {
             fs::permissions(c, fs::perms::owner_write, fs::perm_options::add);
             std::ofstream(c, std::ios::app) << " and more";
         },
         false, true, true},
        {"replaced by the editor's new file",
         [](const fs::path& c) {
             Write(c.parent_path() / "saved.tmp", "report");
             fs::rename(c.parent_path() / "saved.tmp", c);
         },
         false, true, true},
        {"a file saved beside it",
         [](const fs::path& c) { Write(c.parent_path() / "report-v2.txt", "mine"); }, true, false,
         true},
        {"deleted by the user", [](const fs::path& c) { fs::remove(c); }, false, false, false},
        {"record lost", [](const fs::path& c) { fs::remove(RecordFile(c)); }, false, true, true},
        {"record damaged",
         [](const fs::path& c) { Write(RecordFile(c), "velmora copy record 1\n"); }, false, true,
         true},
        {"record pointing elsewhere",
         [](const fs::path& c) {
             std::ifstream in(RecordFile(c));
             std::string text((std::istreambuf_iterator<char>(in)), {});
             // "name 2e2e" is "..": the record may never reach out of its folder.
             const auto at = text.find("name ");
             text.replace(at, text.find('\n', at) - at, "name 2e2e");
             Write(RecordFile(c), text);
         },
         false, true, true},
        {"turned into a link",
         [](const fs::path& c) {
             fs::remove(c);
             fs::create_symlink("/etc/hostname", c);
         },
         false, true, true},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.label);
        ScratchDir base;
        SetOpenedCopiesBase(base.Path());
        std::string error;
        const fs::path folder = NewOpenedCopyFolder(error);
        ASSERT_FALSE(folder.empty()) << error;
        const fs::path copy = folder / "report";
        Write(copy, "report");
        ASSERT_TRUE(SealOpenedCopy(copy, CopyUse::kOpened, error)) << error;
        struct stat info {};
        ASSERT_EQ(::stat(copy.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0400u) << "an opened copy is read-only";
        // While its run lives nothing is cleared.
        EXPECT_EQ(RemoveUnchangedOpenedCopies(base.Path()), 0u);
        SetOpenedCopiesBase({});  // the run ends
        c.afterRun(copy);

        EXPECT_EQ(RemoveEndedRunFolders(base.Path()), 0u) << "copies are not run leftovers";
        EXPECT_EQ(RemoveUnchangedOpenedCopies(base.Path()), c.removed ? 1u : 0u);
        EXPECT_EQ(fs::exists(fs::symlink_status(copy)), c.copyStays);
        EXPECT_EQ(fs::exists(folder.parent_path()), c.folderStays);
        // A later start again keeps what stayed.
        RemoveUnchangedOpenedCopies(base.Path());
        EXPECT_EQ(fs::exists(fs::symlink_status(copy)), c.copyStays);
    }
}

TEST(OpenedCopiesTest, ADraggedCopyKeepsItsModeAndIsClearedAlike) {
    ScratchDir base;
    SetOpenedCopiesBase(base.Path());
    std::string error;
    const fs::path folder = NewOpenedCopyFolder(error);
    const fs::path copy = folder / "plan.txt";
    Write(copy, "plan");
    struct stat before {
    }, after{};
    ASSERT_EQ(::stat(copy.c_str(), &before), 0);
    ASSERT_TRUE(SealOpenedCopy(copy, CopyUse::kDragged, error)) << error;
    ASSERT_EQ(::stat(copy.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    SetOpenedCopiesBase({});
    EXPECT_EQ(RemoveUnchangedOpenedCopies(base.Path()), 1u);
    EXPECT_TRUE(fs::is_empty(base.Path()));
}

TEST(CopyRecordTest, ReadsBackExactlyWhatItWrote) {
    ScratchDir base;
    const fs::path copy = base / "r\xc3\xa9sum\xc3\xa9 (2).pdf";
    Write(copy, std::string(200000, 'x'));
    const std::optional<CopyRecord> record = RecordOf(copy);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->size, 200000u);
    ASSERT_TRUE(WriteCopyRecord(*record, base / "copy.record"));
    const std::optional<CopyRecord> read = ReadCopyRecord(base / "copy.record");
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, *record);
    EXPECT_TRUE(IsUnchanged(copy, *read));
    EXPECT_FALSE(fs::exists(base / "copy.record.partial"));
    Write(base / "long.record", std::string(10000, 'a'));
    EXPECT_FALSE(ReadCopyRecord(base / "long.record").has_value());
    EXPECT_FALSE(ReadCopyRecord(base / "missing.record").has_value());
    EXPECT_FALSE(RecordOf(base.Path()).has_value()) << "a folder is no copy";
}

}  // namespace
}  // namespace velmora::test
