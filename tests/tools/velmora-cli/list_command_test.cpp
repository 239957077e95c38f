// `list` against `dump` on real stores: one line per message the dump holds,
// in the same order, with the folder's path of names, and a folder's subtree
// on its own when asked for.
#include <gtest/gtest.h>

#include <optional>

#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/storewriter/store_builder.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/list_command.h"

namespace velmora::test {
namespace {

// The line `list` writes for each message of `folders` and below, from the
// dump; with `only`, just the folder of that NID and its subtree.
void ExpectedLines(const Json& folders, const std::string& parent,
                   std::optional<std::uint32_t> only, std::vector<std::string>& lines) {
    for (const Json& folder : folders) {
        const std::string path = parent.empty() ? folder["name"].get<std::string>()
                                                : parent + "/" + folder["name"].get<std::string>();
        const bool inside = !only || folder["nid"] == *only;
        for (const Json& message : folder["messages"]) {
            if (!inside) break;
            const Json& time = message["submit_time"];
            lines.push_back(path + "\t" + (time.is_null() ? "" : time.get<std::string>()) + "\t" +
                            message["sender_name"].get<std::string>() + "\t" +
                            message["subject"].get<std::string>());
        }
        ExpectedLines(folder["folders"], path, inside ? std::nullopt : only, lines);
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(CliTest, ListHasOneLinePerMessageOfTheDump) {
    VELMORA_REQUIRE_CORPUS();
    const struct {
        const char* store;
        std::vector<std::string> folder;  // names from the root folders; empty: the whole store
    } cases[] = {
        {"unicode-to-cc.pst", {}},
        {"ansi-many-items.pst", {}},
        {"ost4k/unicode-nested-folders.ost", {}},
        {"unicode-nested-folders.pst", {"Top of Outlook data file"}},
        {"ansi-many-items.pst", {"Top of Personal Folders", "Inbox"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.store) + " " + std::to_string(c.folder.size()));
        const Json dump = Dump(CorpusFile(c.store));
        std::optional<std::uint32_t> nid;
        if (!c.folder.empty()) {
            const Json* folder = FolderAt(dump, c.folder);
            ASSERT_NE(folder, nullptr);
            nid = (*folder)["nid"].get<std::uint32_t>();
        }
        std::vector<std::string> expected;
        ExpectedLines(dump["folders"], "", nid, expected);
        ASSERT_FALSE(expected.empty());
        std::ostringstream out;
        ASSERT_EQ(cli::RunList(CorpusFile(c.store), nid, out), 0);
        EXPECT_EQ(Lines(out.str()), expected);
    }
}

// Texts too long for the property context are kept in subnodes of their own,
// as the bodies are; the lines print them whole and still leave the bodies
// unread.
TEST_F(CliTest, ListPrintsLongTextsKeptOutsideThePropertyContext) {
    namespace sw = velmora::storewriter;
    const std::string subject = "S" + std::string(3000, 's') + "\xC3\xA9nd";
    const std::string sender = "N" + std::string(4000, 'n');
    const ScratchDir folder;
    for (const sw::Variant variant :
         {sw::Variant::kAnsi, sw::Variant::kUnicode, sw::Variant::kUnicode4K}) {
        SCOPED_TRACE(static_cast<int>(variant));
        sw::StoreBuilder builder({.variant = variant, .spoolDirectory = folder.Path()});
        const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
        sw::MessageSpec message;
        message.subject = subject;
        message.senderName = sender;
        message.body = std::string(20000, 'b');
        builder.AddMessage(inbox, message);
        message.subject = "short";
        message.senderName = "A";
        builder.AddMessage(inbox, message);
        const std::filesystem::path store = folder.Path() / "long.pst";
        std::string error;
        ASSERT_TRUE(builder.WriteTo(store, &error)) << error;
        std::vector<std::string> expected;
        ExpectedLines(Dump(store)["folders"], "", std::nullopt, expected);
        ASSERT_EQ(expected.size(), 2u);
        EXPECT_NE(expected[0].find(subject), std::string::npos);
        std::ostringstream out;
        ASSERT_EQ(cli::RunList(store, std::nullopt, out), 0);
        EXPECT_EQ(Lines(out.str()), expected);
    }
}

TEST_F(CliTest, ListOfAFolderTheStoreDoesNotHaveFails) {
    VELMORA_REQUIRE_CORPUS();
    const auto store = CorpusFile("unicode-to-cc.pst");
    std::ostringstream out;
    EXPECT_EQ(cli::RunList(store, 0x200224, out), 1);
    EXPECT_EQ(OnlyMessage(), "velmora-cli: " + store.string() + ": no folder with NID 0x200224");
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace velmora::test
