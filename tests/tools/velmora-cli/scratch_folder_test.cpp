// Every run of the tool gives the engine a temporary root of its own and
// removes it when the command ends, whichever way it ends: the engine writes
// a value file there for each out-of-line value and never deletes any.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>

#include "common/path_text.h"
#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/velmora-cli/folder_visit.h"
#include "tools/velmora-cli/info_command.h"
#include "tools/velmora-cli/render_command.h"
#include "tools/velmora-cli/save_commands.h"
#include "tools/velmora-cli/scratch_root.h"
#include "tools/velmora-cli/store_session.h"
#include "tools/velmora-cli/tree_command.h"

namespace velmora::test {
namespace {

std::set<std::filesystem::path> EntriesBelow(const std::filesystem::path& root) {
    std::set<std::filesystem::path> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        entries.insert(entry.path());
    return entries;
}

std::size_t FilesBelow(const std::filesystem::path& root) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        files += entry.is_regular_file();
    return files;
}

TEST_F(CliTest, EachSessionKeepsItsValueFilesInAFolderOfItsOwnUntilItEnds) {
    VELMORA_REQUIRE_CORPUS();
    std::filesystem::path first, second;
    {
        cli::StoreSession session, other;
        std::string error;
        ASSERT_TRUE(session.Open(CorpusFile("unicode-plain.pst"), error)) << error;
        ASSERT_TRUE(other.Open(CorpusFile("unicode-plain.pst"), error)) << error;
        first = session.ScratchFolder();
        second = other.ScratchFolder();
        EXPECT_NE(first, second);
        EXPECT_EQ(first.parent_path(), common::PathFromUtf16(GetWorkFolder()));
        for (const cli::FolderVisit& visit : cli::FlattenFolders(session.Roots()))
            session.EnumMails(visit.folder);
        EXPECT_GT(FilesBelow(first), 0u)
            << "the messages' long values are read from value files here";
    }
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(second));
}

TEST_F(CliTest, CommandsLeaveTheWorkingFolderAsTheyFoundIt) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir dir;
    std::ofstream(dir / "short.pst") << "PST";
    const auto plain = CorpusFile("unicode-plain.pst");
    const auto submessage = CorpusFile("unicode-submessage.pst");
    // The welcome message of the one, the message with an embedded message of the other.
    constexpr std::uint32_t kWelcomeMessage = 0x200024;
    constexpr std::uint32_t kSubmessageMessage = 0x200024;
    std::ostringstream out;
    const struct {
        const char* name;
        std::function<int()> run;
        int exitCode;
    } runs[] = {
        {"info", [&] { return cli::RunInfo(plain, out); }, 0},
        {"tree", [&] { return cli::RunTree(plain, out); }, 0},
        {"dump", [&] { return cli::RunDump(plain, out); }, 0},
        {"attachment", [&] { return cli::RunAttachment(plain, kWelcomeMessage, 0, dir / "a.gif"); },
         0},
        {"rtf", [&] { return cli::RunRtf(plain, kWelcomeMessage, dir / "body.rtf"); }, 0},
        {"export", [&] { return cli::RunExport(plain, dir / "export", cli::kRootFolderNid); }, 0},
        {"render", [&] { return cli::RunRender(plain, kWelcomeMessage, dir / "page.mht"); }, 0},
        {"attachment, embedded message",
         [&] { return cli::RunAttachment(submessage, kSubmessageMessage, 0, dir / "inner.eml"); },
         0},
        {"render, embedded message",
         [&] { return cli::RunRender(submessage, kSubmessageMessage, dir / "inner.mht"); }, 0},
        {"unknown message", [&] { return cli::RunAttachment(plain, 0x12345, 0, dir / "x"); }, 1},
        {"unknown folder", [&] { return cli::RunExport(plain, dir / "none", 0x200024); }, 1},
        {"unsupported store", [&] { return cli::RunDump(dir / "short.pst", out); }, 1},
    };
    for (const auto& run : runs) {
        const auto before = EntriesBelow(cache_->Path());
        EXPECT_EQ(run.run(), run.exitCode) << run.name;
        EXPECT_EQ(EntriesBelow(cache_->Path()), before) << run.name;
    }
}

TEST(ScratchBaseTest, WorkingFolderElseTheSystemsTemporaryFolder) {
    const std::u16string saved = WorkFolder;
    ScratchDir work;
    WorkFolder = common::PathToUtf16(work.Path());
    EXPECT_EQ(cli::ScratchBase(), work.Path());
    WorkFolder.clear();
    EXPECT_EQ(cli::ScratchBase(), std::filesystem::temp_directory_path());
    WorkFolder = saved;
}

}  // namespace
}  // namespace velmora::test
