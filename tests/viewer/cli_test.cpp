// velmora-cli's commands on real stores: dumps compared with the reference
// reader's view, 4K twins read like their sources, files written, and the
// one-line failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <fstream>
#include <map>
#include <sstream>

#include <nlohmann/json.hpp>

#include "engine/interface/utf16_text.h"
#include "tests/support/test_paths.h"
#include "tools/velmora-cli/dump_command.h"
#include "tools/velmora-cli/info_command.h"
#include "tools/velmora-cli/save_commands.h"
#include "tools/velmora-cli/tree_command.h"
#include "viewer/data/message_box.h"
#include "viewer/data/work_folder.h"

namespace velmora::test {
namespace {

using nlohmann::json;
using Multiset = std::multiset<std::string>;

class RecordingMessageBox : public MessageBoxHost {
public:
    void Show(const std::u16string& caption, const std::u16string& text) override {
        lines.push_back(corvex::Utf16ToUtf8(caption) + ": " + corvex::Utf16ToUtf8(text));
    }
    std::vector<std::string> lines;
};

class CliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cache_ = new ScratchDir;
        ::setenv("XDG_CACHE_HOME", cache_->Path().c_str(), 1);
        InitWorkFolder();
    }
    static void TearDownTestSuite() {
        delete cache_;
        WorkFolder.clear();
    }
    void SetUp() override { SetMessageBoxHost(&messages_); }
    void TearDown() override { SetMessageBoxHost(nullptr); }

    static json Dump(const std::filesystem::path& store) {
        std::ostringstream out;
        EXPECT_EQ(cli::RunDump(store, out), 0) << store;
        return json::parse(out.str());
    }
    std::string OnlyMessage() const { return messages_.lines.size() == 1 ? messages_.lines[0] : "(none or several)"; }

    static inline ScratchDir* cache_ = nullptr;
    RecordingMessageBox messages_;
};

std::map<std::string, json> FoldersByPath(const json& dump) {
    std::map<std::string, json> folders;
    for (const json& folder : dump["folders"]) folders[folder["path"]] = folder;
    return folders;
}

// What the comparison looks at, per item: subject, recipients, and the
// attachments that have data (the reference reader names embedded messages itself).
std::string ItemKey(const json& item) {
    Multiset recipients, attachments;
    for (const json& r : item["recipients"]) recipients.insert(r["name"].dump() + r["email"].dump() + r["type"].dump());
    for (const json& a : item["attachments"]) {
        if (!a.contains("embedded")) attachments.insert(a["name"].dump() + "=" + a["size"].dump());
    }
    return json{{"s", item["subject"]}, {"r", recipients}, {"a", attachments}}.dump();
}

Multiset ItemKeys(const json& folder) {
    Multiset keys;
    for (const json& item : folder["items"]) keys.insert(ItemKey(item));
    return keys;
}

struct ExpectedDump {
    const char* store;
    // Messages the engine lists and the reference reader does not: the engine
    // lists every message node of a folder, the reader the folder's contents table.
    std::vector<std::pair<const char*, const char*>> extraItems;  // folder path, subject
};

class DumpMatchesReferenceTest : public CliTest, public ::testing::WithParamInterface<ExpectedDump> {};

TEST_P(DumpMatchesReferenceTest, FoldersItemsRecipientsAndAttachmentsMatch) {
    VELMORA_REQUIRE_CORPUS();
    const ExpectedDump& param = GetParam();
    std::ifstream file(CorpusFile(std::string("expected/") + param.store + ".json"));
    const json expected = json::parse(file);
    const json dump = Dump(CorpusFile(std::string(param.store) + ".pst"));
    EXPECT_EQ(dump["top"], expected["top"]);
    auto got = FoldersByPath(dump);
    const auto want = FoldersByPath(expected);
    for (const auto& [path, subject] : param.extraItems) {
        json& items = got[path]["items"];
        const auto extra = std::find_if(items.begin(), items.end(), [&](const json& i) { return i["subject"] == subject; });
        ASSERT_NE(extra, items.end()) << path << ": " << subject;
        items.erase(extra);
    }
    ASSERT_EQ(got.size(), want.size());
    for (const auto& [path, folder] : want) {
        ASSERT_TRUE(got.contains(path)) << path;
        EXPECT_EQ(ItemKeys(got[path]), ItemKeys(folder)) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Corpus, DumpMatchesReferenceTest,
    ::testing::Values(ExpectedDump{"ansi-many-items", {}}, ExpectedDump{"ansi-small-backup", {}},
                      ExpectedDump{"ansi-basic", {{"Folder", "Post"}}},
                      ExpectedDump{"unicode-basic", {{"", "Test"}, {"Folder", "Post"}}},
                      ExpectedDump{"unicode-plain", {}}, ExpectedDump{"unicode-permute", {}},
                      ExpectedDump{"unicode-cyclic", {}}, ExpectedDump{"unicode-flags", {}},
                      ExpectedDump{"unicode-to-cc", {}}, ExpectedDump{"unicode-nested-folders", {}},
                      ExpectedDump{"unicode-submessage", {}}, ExpectedDump{"unicode-backup", {}},
                      ExpectedDump{"unicode-user1", {}}, ExpectedDump{"unicode-password", {}},
                      ExpectedDump{"unicode-archive", {}}, ExpectedDump{"unicode-outlook", {}},
                      ExpectedDump{"unicode-empty-2007", {}}),
    [](const auto& info) { return TestNameOf(info.param.store); });

// The 4K twins hold the same nodes and bytes: their dumps are the same.
TEST_F(CliTest, FourKTwinsDumpLikeTheirSources) {
    VELMORA_REQUIRE_CORPUS();
    for (const char* name : {"unicode-to-cc", "unicode-flags", "unicode-submessage", "unicode-plain"}) {
        const json source = Dump(CorpusFile(std::string(name) + ".pst"));
        EXPECT_EQ(Dump(CorpusFile(std::string("ost4k/") + name + ".ost")), source) << name;
        EXPECT_EQ(Dump(CorpusFile(std::string("ost4k/") + name + ".plain.ost")), source) << name;
    }
}

TEST_F(CliTest, InfoAndTreeCountFoldersAndMessages) {
    VELMORA_REQUIRE_CORPUS();
    std::ostringstream info, tree;
    ASSERT_EQ(cli::RunInfo(CorpusFile("ansi-many-items.pst"), info), 0);
    for (const char* line : {"wVer:         14\n", "Variant:      ANSI (Corvex32)\n", "Crypt method: 1 (permutation)\n",
                             "Messages:     294\n", "0x04 normal message"}) {
        EXPECT_NE(info.str().find(line), std::string::npos) << line << "\n" << info.str();
    }
    ASSERT_EQ(cli::RunTree(CorpusFile("ansi-many-items.pst"), tree), 0);
    EXPECT_NE(tree.str().find("Top of Personal Folders (0) [0x8022]\n  Deleted Items (112) [0x8042]\n  Inbox (170)"),
              std::string::npos) << tree.str();
}

// A store whose header names a variant but whose B-trees hold nothing.
TEST_F(CliTest, StoreTheEngineFindsEmptyPrintsAnEmptyTree) {
    ScratchDir dir;
    std::vector<char> bytes(8192, 0);
    bytes[10] = 23;
    std::ofstream(dir / "empty.pst", std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::ostringstream tree;
    EXPECT_EQ(cli::RunTree(dir / "empty.pst", tree), 0);
    EXPECT_EQ(tree.str(), "");
    EXPECT_TRUE(messages_.lines.empty());
}

TEST_F(CliTest, AttachmentAndRtfBodyAreWritten) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir out;
    auto folders = FoldersByPath(Dump(CorpusFile("unicode-plain.pst")));
    const json& message = folders["Deleted Items"]["items"][0];
    const json& attachment = message["attachments"][0];
    ASSERT_EQ(cli::RunAttachment(CorpusFile("unicode-plain.pst"), message["nid"], 0, out / "a.bin"), 0);
    EXPECT_EQ(std::filesystem::file_size(out / "a.bin"), attachment["size"].get<std::uint64_t>());
    ASSERT_TRUE(message["has_rtf"].get<bool>());
    ASSERT_EQ(cli::RunRtf(CorpusFile("unicode-plain.pst"), message["nid"], out / "body.rtf"), 0);
    std::ifstream rtf(out / "body.rtf");
    std::string start(5, '\0');
    rtf.read(start.data(), 5);
    EXPECT_EQ(start, "{\\rtf");
}

TEST_F(CliTest, FolderExportWritesBelowTheTarget) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir out;
    ASSERT_EQ(cli::RunExport(CorpusFile("unicode-to-cc.pst"), out / "export", cli::kRootFolderNid), 0);
    std::size_t csvFiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out / "export")) {
        csvFiles += entry.path().extension() == ".csv";
    }
    EXPECT_GT(csvFiles, 0u);
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
        {"missing store", [&] { std::ostringstream o; return cli::RunInfo(dir / "none.pst", o); },
         "velmora-cli: cannot open " + (dir / "none.pst").string() + ": No such file or directory"},
        {"directory", [&] { std::ostringstream o; return cli::RunTree(dir.Path(), o); },
         "velmora-cli: cannot open " + dir.Path().string() + ": Is a directory"},
        {"short file", [&] { std::ostringstream o; return cli::RunDump(dir / "short.pst", o); },
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
    }
}

}  // namespace
}  // namespace velmora::test
