// `props` against `dump` on real stores: every message's properties hold its
// subject with the dump's text, and one list per recipient and attachment the
// dump shows; a table for people, JSON of one exact shape for programs.
#include <gtest/gtest.h>

#include <regex>

#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/velmora-cli/props_command.h"

namespace velmora::test {
namespace {

void CollectMessages(const Json& folders, std::vector<const Json*>& messages) {
    for (const Json& folder : folders) {
        for (const Json& message : folder["messages"]) messages.push_back(&message);
        CollectMessages(folder["folders"], messages);
    }
}

// Each property is an object of exactly these keys, the tag in eight
// upper-case hexadecimal digits.
void ExpectPropertyShape(const Json& list) {
    static const std::regex kTag("0x[0-9A-F]{8}");
    ASSERT_TRUE(list.is_array());
    for (const Json& property : list) {
        ASSERT_EQ(property.size(), 4u) << property.dump();
        const std::vector<std::string> keys = {"tag", "name", "type", "value"};
        std::size_t at = 0;
        for (const auto& [key, value] : property.items()) {
            EXPECT_EQ(key, keys[at++]);
            EXPECT_TRUE(value.is_string()) << key;
        }
        EXPECT_TRUE(std::regex_match(property["tag"].get<std::string>(), kTag)) << property.dump();
    }
}

const Json* Named(const Json& list, const std::string& name) {
    for (const Json& property : list) {
        if (property["name"] == name) return &property;
    }
    return nullptr;
}

TEST_F(CliTest, PropsAgreeWithTheDump) {
    VELMORA_REQUIRE_CORPUS();
    for (const char* store : {"unicode-to-cc.pst", "unicode-plain.pst"}) {
        const Json dump = Dump(CorpusFile(store));
        std::vector<const Json*> messages;
        CollectMessages(dump["folders"], messages);
        ASSERT_FALSE(messages.empty()) << store;
        for (const Json* message : messages) {
            const auto nid = (*message)["nid"].get<std::uint32_t>();
            SCOPED_TRACE(std::string(store) + " " + std::to_string(nid));
            std::ostringstream out;
            ASSERT_EQ(cli::RunProps(CorpusFile(store), nid, {.json = true, .full = true}, out), 0);
            const Json props = Json::parse(out.str());
            ASSERT_EQ(props.size(), 3u);
            ExpectPropertyShape(props["message"]);
            const Json* subject = Named(props["message"], "PR_SUBJECT");
            ASSERT_NE(subject, nullptr);
            EXPECT_EQ((*subject)["value"], (*message)["subject"]);
            EXPECT_EQ((*subject)["tag"].get<std::string>().substr(0, 6), "0x0037");
            EXPECT_EQ(props["recipients"].size(), (*message)["recipients"].size());
            EXPECT_EQ(props["attachments"].size(), (*message)["attachments"].size());
            for (const Json& list : props["recipients"]) ExpectPropertyShape(list);
            for (const Json& list : props["attachments"]) ExpectPropertyShape(list);
        }
    }
}

// unicode-to-cc.pst holds one message, to one recipient and copied to another.
TEST_F(CliTest, PropsTableHasASectionPerObject) {
    VELMORA_REQUIRE_CORPUS();
    const Json dump = Dump(CorpusFile("unicode-to-cc.pst"));
    std::vector<const Json*> messages;
    CollectMessages(dump["folders"], messages);
    ASSERT_EQ(messages.size(), 1u);
    const Json& message = *messages[0];
    std::ostringstream out;
    ASSERT_EQ(cli::RunProps(CorpusFile("unicode-to-cc.pst"), message["nid"].get<std::uint32_t>(),
                            {}, out),
              0);
    const std::string table = out.str();
    EXPECT_EQ(table.rfind("Message (", 0), 0u) << table;
    EXPECT_NE(table.find("TAG         NAME"), std::string::npos);
    EXPECT_NE(table.find("PR_SUBJECT"), std::string::npos);
    EXPECT_NE(table.find(message["subject"].get<std::string>()), std::string::npos);
    for (std::size_t i = 1; i <= message["recipients"].size(); ++i)
        EXPECT_NE(table.find("\nRecipient " + std::to_string(i) + " ("), std::string::npos);
    EXPECT_EQ(table.find("\nRecipient " + std::to_string(message["recipients"].size() + 1)),
              std::string::npos);
}

// Without --full a long value (the transport headers, the HTML body) is cut
// and marked; with it the same property's value is whole and starts alike.
TEST_F(CliTest, PropsCutLongValuesUnlessAskedForWholeOnes) {
    VELMORA_REQUIRE_CORPUS();
    const std::filesystem::path store = CorpusFile("unicode-to-cc.pst");
    std::vector<const Json*> messages;
    const Json dump = Dump(store);
    CollectMessages(dump["folders"], messages);
    ASSERT_EQ(messages.size(), 1u);
    const auto nid = (*messages[0])["nid"].get<std::uint32_t>();
    std::ostringstream cutOut, wholeOut;
    ASSERT_EQ(cli::RunProps(store, nid, {.json = true}, cutOut), 0);
    ASSERT_EQ(cli::RunProps(store, nid, {.json = true, .full = true}, wholeOut), 0);
    const Json cut = Json::parse(cutOut.str())["message"];
    const Json whole = Json::parse(wholeOut.str())["message"];
    ASSERT_EQ(cut.size(), whole.size());
    const std::string mark = "\xE2\x80\xA6";
    int cutValues = 0;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const std::string shown = cut[i]["value"].get<std::string>();
        const std::string full = whole[i]["value"].get<std::string>();
        EXPECT_LE(common::Utf8ToUtf16(shown).size(), 256u + 1u) << cut[i]["name"];
        if (shown == full) continue;
        ++cutValues;
        ASSERT_TRUE(shown.ends_with(mark)) << cut[i]["name"];
        EXPECT_TRUE(full.starts_with(shown.substr(0, shown.size() - mark.size())))
            << cut[i]["name"];
        EXPECT_GT(full.size(), shown.size());
    }
    EXPECT_GE(cutValues, 2);
}

TEST_F(CliTest, PropsOfAMessageThatIsNotThereFails) {
    VELMORA_REQUIRE_CORPUS();
    std::ostringstream out;
    EXPECT_EQ(cli::RunProps(CorpusFile("unicode-to-cc.pst"), 0x7FFFFFE4, {.json = true}, out), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(OnlyMessage().find("no message with NID 0x7fffffe4"), std::string::npos)
        << OnlyMessage();
}

}  // namespace
}  // namespace velmora::test
