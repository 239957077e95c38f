// velmora-cli's commands on real stores: counts, the folder export, and the
// one-line failures. The dump, and the files `attachment` and `rtf` write
// (checked against it), have tests of their own (dump_*_test.cpp).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/info_command.h"
#include "tools/velmora-cli/render_command.h"
#include "tools/velmora-cli/save_commands.h"
#include "tools/velmora-cli/tree_command.h"

namespace velmora::test {
namespace {

TEST_F(CliTest, InfoAndTreeCountFoldersAndMessages) {
    VELMORA_REQUIRE_CORPUS();
    std::ostringstream info, tree;
    ASSERT_EQ(cli::RunInfo(CorpusFile("ansi-many-items.pst"), info), 0);
    for (const char* line :
         {"wVer:         14\n", "Variant:      ANSI (Corvex32)\n",
          "Crypt method: 1 (permutation)\n", "Messages:     294\n", "0x04 normal message"}) {
        EXPECT_NE(info.str().find(line), std::string::npos) << line << "\n" << info.str();
    }
    ASSERT_EQ(cli::RunTree(CorpusFile("ansi-many-items.pst"), tree), 0);
    EXPECT_NE(
        tree.str().find(
            "Top of Personal Folders (0) [0x8022]\n  Deleted Items (112) [0x8042]\n  Inbox (170)"),
        std::string::npos)
        << tree.str();
}

// A store whose header names a variant but whose B-trees hold nothing.
TEST_F(CliTest, StoreTheEngineFindsEmptyPrintsAnEmptyTree) {
    ScratchDir dir;
    std::vector<char> bytes(8192, 0);
    bytes[10] = 23;
    std::ofstream(dir / "empty.pst", std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::ostringstream tree;
    EXPECT_EQ(cli::RunTree(dir / "empty.pst", tree), 0);
    EXPECT_EQ(tree.str(), "");
    EXPECT_TRUE(messages_.lines.empty());
}

TEST_F(CliTest, FolderExportWritesBelowTheTarget) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir out;
    ASSERT_EQ(cli::RunExport(CorpusFile("unicode-to-cc.pst"), out / "export", cli::kRootFolderNid),
              0);
    std::size_t csvFiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out / "export")) {
        csvFiles += entry.path().extension() == ".csv";
    }
    EXPECT_GT(csvFiles, 0u);
    EXPECT_TRUE(messages_.lines.empty()) << messages_.lines.front();
}

// A folder directory the export cannot make (a file holds its name) loses that
// folder: the engine's message names the path, and the tool fails.
TEST_F(CliTest, FolderExportThatCannotWriteAFolderExitsNonZero) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir out;
    const std::filesystem::path blocked = out / "export" / "Top of Outlook data file";
    std::filesystem::create_directories(out / "export");
    std::ofstream(blocked) << "a file, not a folder";
    EXPECT_EQ(cli::RunExport(CorpusFile("unicode-to-cc.pst"), out / "export", cli::kRootFolderNid),
              1);
    EXPECT_EQ(messages_.lines,
              (std::vector<std::string>{
                  "Corvex64: Cannot create folder \"" + blocked.string() + "\": Not a directory",
                  "velmora-cli: export into " + (out / "export").string() +
                      " is incomplete: the engine reported the failures above"}));
}

TEST_F(CliTest, FailuresAreOneLineAndExitNonZero) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir dir;
    std::ofstream(dir / "short.pst") << "PST";
    const auto toCc = CorpusFile("unicode-to-cc.pst");
    const struct {
        const char* name;
        std::function<int()> run;
        std::string message;
    } cases[] = {
        {"missing store",
         [&] {
             std::ostringstream o;
             return cli::RunInfo(dir / "none.pst", o);
         },
         "velmora-cli: cannot open " + (dir / "none.pst").string() + ": No such file or directory"},
        {"directory",
         [&] {
             std::ostringstream o;
             return cli::RunTree(dir.Path(), o);
         },
         "velmora-cli: cannot open " + dir.Path().string() + ": Is a directory"},
        {"short file",
         [&] {
             std::ostringstream o;
             return cli::RunDump(dir / "short.pst", o);
         },
         "velmora-cli: " + (dir / "short.pst").string() + ": unsupported store version 0"},
        {"unknown message", [&] { return cli::RunAttachment(toCc, 0x12345, 0, dir / "x"); },
         "velmora-cli: " + toCc.string() + ": no message with NID 0x12345"},
        {"attachment index", [&] { return cli::RunAttachment(toCc, 0x200224, 0, dir / "x"); },
         "velmora-cli: message 0x200224 has no attachment 0"},
        {"no rtf body", [&] { return cli::RunRtf(toCc, 0x200224, dir / "x"); },
         "velmora-cli: message 0x200224 has no RTF body"},
        {"unknown folder", [&] { return cli::RunExport(toCc, dir / "out", 0x200224); },
         "velmora-cli: " + toCc.string() + ": no folder with NID 0x200224"},
    };
    for (const auto& c : cases) {
        messages_.lines.clear();
        EXPECT_NE(c.run(), 0) << c.name;
        EXPECT_EQ(OnlyMessage(), c.message) << c.name;
        EXPECT_FALSE(std::filesystem::exists(dir / "x")) << c.name << ": nothing is written";
    }
}

// The file's text with quoted-printable soft line breaks taken out, so that
// a body's words read as they were written.
std::string UnwrappedFileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    for (std::size_t at = 0; (at = text.find("=\r\n", at)) != std::string::npos;) text.erase(at, 3);
    return text;
}

// A message attached to another is written as a message of its own by
// `attachment`, and travels inside the rendered page as a message/rfc822 part:
// never as the reference bytes its attachment stores.
TEST_F(CliTest, AttachedMessageIsWrittenAndRenderedAsAMessage) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir dir;
    const auto submessage = CorpusFile("unicode-submessage.pst");
    constexpr std::uint32_t kSubmessageMessage = 0x200024;
    const std::string innerSubject = "Subject: This is an embedded message\r\n";
    const std::string innerBody = "This is the body of an embedded message";

    ASSERT_EQ(cli::RunAttachment(submessage, kSubmessageMessage, 0, dir / "inner.eml"), 0);
    const std::string eml = UnwrappedFileText(dir / "inner.eml");
    EXPECT_NE(eml.find(innerSubject), std::string::npos);
    EXPECT_NE(eml.find("To: Terry Mahaffey <terrymah@microsoft.com>"), std::string::npos);
    EXPECT_NE(eml.find(innerBody), std::string::npos);

    ASSERT_EQ(cli::RunRender(submessage, kSubmessageMessage, dir / "outer.mht"), 0);
    const std::string page = UnwrappedFileText(dir / "outer.mht");
    const std::size_t part = page.find("Content-Type: message/rfc822\r\n");
    ASSERT_NE(part, std::string::npos);
    EXPECT_NE(page.find("filename=\"This is an embedded message.eml\"", part), std::string::npos);
    EXPECT_NE(page.find(innerSubject, part), std::string::npos);
    EXPECT_NE(page.find(innerBody, part), std::string::npos);
}

}  // namespace
}  // namespace velmora::test
