// The shape of `dump`'s JSON: every key present in its place with a value of
// its type, null only where the store holds nothing; hashes that agree with
// the bytes the other commands write; times in UTC.
#include <gtest/gtest.h>

#include <regex>

#include "tests/viewer/data/mail_access/record_builder.h"

#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/velmora-cli/mail_json.h"
#include "tools/velmora-cli/save_commands.h"
#include "tools/velmora-cli/sha256_hex.h"

namespace velmora::test {
namespace {

using Keys = std::vector<std::string>;

Keys KeysOf(const Json& object) {
    Keys keys;
    for (const auto& [key, value] : object.items()) keys.push_back(key);
    return keys;
}

bool IsHash(const Json& value) {
    static const std::regex hex("[0-9a-f]{64}");
    return value.is_string() && std::regex_match(value.get<std::string>(), hex);
}

bool IsHashOrNull(const Json& value) {
    return value.is_null() || IsHash(value);
}

void ExpectMessageShape(const Json& message, bool attached = false);

// An attached message is listed whole below its attachment, without a NID.
void ExpectAttachmentShape(const Json& attachment) {
    Keys keys{"name", "extension", "method", "size", "sha256"};
    if (attachment["method"] == 5) {
        keys.insert(keys.end(), "message");
        ExpectMessageShape(attachment["message"], true);
    }
    EXPECT_EQ(KeysOf(attachment), keys);
    EXPECT_TRUE(attachment["name"].is_string() && attachment["extension"].is_string());
    EXPECT_TRUE(attachment["method"].is_number_integer() &&
                attachment["size"].is_number_unsigned());
    // No data is size 0 and no hash; data, even empty, has both.
    EXPECT_TRUE(attachment["sha256"].is_null() ? attachment["size"] == 0
                                               : IsHash(attachment["sha256"]))
        << attachment;
}

void ExpectRecipientShape(const Json& recipient) {
    EXPECT_EQ(KeysOf(recipient), (Keys{"name", "email", "smtp", "type"}));
    EXPECT_TRUE(recipient["name"].is_string() && recipient["email"].is_string() &&
                recipient["smtp"].is_string());
    EXPECT_TRUE(recipient["type"].is_number_integer());
}

void ExpectMessageShape(const Json& message, bool attached) {
    Keys keys{"class",          "subject",     "sender_name", "sender_email",
              "sender_address", "submit_time", "flags",       "importance",
              "recipients",     "attachments", "body"};
    if (!attached) keys.insert(keys.begin(), "nid");
    EXPECT_EQ(KeysOf(message), keys);
    for (const char* text : {"class", "subject", "sender_name", "sender_email", "sender_address"}) {
        EXPECT_TRUE(message[text].is_string()) << text;
    }
    EXPECT_TRUE(attached || message["nid"].is_number_unsigned());
    EXPECT_TRUE(message["flags"].is_number_unsigned());
    EXPECT_TRUE(message["importance"].is_number_integer());
    static const std::regex utc("\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}Z");
    const Json& time = message["submit_time"];
    EXPECT_TRUE(time.is_null() || std::regex_match(time.get<std::string>(), utc)) << time;
    for (const Json& recipient : message["recipients"]) ExpectRecipientShape(recipient);
    for (const Json& attachment : message["attachments"]) ExpectAttachmentShape(attachment);
    const Json& body = message["body"];
    EXPECT_EQ(KeysOf(body), (Keys{"text_sha256", "html_sha256", "rtf_sha256"}));
    for (const auto& [key, hash] : body.items())
        EXPECT_TRUE(IsHashOrNull(hash)) << key << ": " << hash;
}

void ExpectFolderShape(const Json& folder) {
    EXPECT_EQ(KeysOf(folder), (Keys{"name", "class", "nid", "messages", "folders"}));
    EXPECT_TRUE(folder["name"].is_string() && folder["class"].is_string() &&
                folder["nid"].is_number_unsigned());
    for (const Json& message : folder["messages"]) ExpectMessageShape(message);
    for (const Json& child : folder["folders"]) ExpectFolderShape(child);
}

// Stores with attachments, embedded messages, all three bodies, recipients of
// every type, no messages at all, and 8-bit texts.
TEST_F(CliTest, DumpHasEveryKeyWithItsType) {
    VELMORA_REQUIRE_CORPUS();
    for (const char* store :
         {"unicode-plain.pst", "unicode-password-embedded.pst", "unicode-to-cc.pst",
          "unicode-empty-2007.pst", "ansi-many-items.pst", "ost4k/unicode-submessage.ost"}) {
        SCOPED_TRACE(store);
        const Json dump = Dump(CorpusFile(store));
        EXPECT_EQ(KeysOf(dump), (Keys{"store", "version", "variant", "folders"}));
        EXPECT_EQ(dump["store"], CorpusFile(store).string());
        for (const Json& folder : dump["folders"]) ExpectFolderShape(folder);
    }
}

TEST_F(CliTest, DumpListsEveryRootFolderInTheEnginesOrder) {
    VELMORA_REQUIRE_CORPUS();
    const Json ansi = Dump(CorpusFile("ansi-basic.pst"));
    EXPECT_EQ(ansi["version"], 14);
    EXPECT_EQ(ansi["variant"], "Ansi");
    const Json unicode = Dump(CorpusFile("unicode-to-cc.pst"));
    EXPECT_EQ(unicode["version"], 23);
    EXPECT_EQ(unicode["variant"], "Unicode");
    Json roots = Json::array();
    for (const Json& folder : unicode["folders"])
        roots.push_back({folder["name"], folder["class"], folder["nid"]});
    EXPECT_EQ(
        roots,
        Json::parse(R"([["SPAM Search Folder 2", "", 8739], ["Top of Outlook data file", "", 32802],
        ["Search Root", "", 32834], ["IPM_COMMON_VIEWS", "", 33026], ["To-Do Search", "IPF.Task", 524323],
        ["Reminders", "Outlook.Reminder", 524355], ["Tracked Mail Processing", "IPF.Note", 524387],
        ["ItemProcSearch", "Outlook.ItemProcessor", 524451]])"));
}

// One message with two To and two Cc recipients: every field as the folder
// export's property listing and the independent reader show it.
TEST_F(CliTest, DumpWritesTheMessageFields) {
    VELMORA_REQUIRE_CORPUS();
    const Json dump = Dump(CorpusFile("unicode-to-cc.pst"));
    const Json* inbox = FolderAt(dump, {"Top of Outlook data file", "Inbox"});
    ASSERT_NE(inbox, nullptr);
    ASSERT_EQ((*inbox)["messages"].size(), 1u);
    Json message = (*inbox)["messages"][0];
    EXPECT_EQ(message["body"]["rtf_sha256"], nullptr);
    message.erase("body");
    EXPECT_EQ(message,
              Json::parse(R"({"nid": 2097700, "class": "IPM.Note", "subject": "Multiple recipients",
        "sender_name": "John Doe", "sender_email": "pst-test-1@aranetic.com", "sender_address": "pst-test-1@aranetic.com",
        "submit_time": "2010-06-27T17:44:43Z", "flags": 196608, "importance": 1,
        "recipients": [{"name": "John Doe", "email": "pst-test-1@aranetic.com", "smtp": "", "type": 1},
                       {"name": "Jane Doe", "email": "pst-test-2@aranetic.com", "smtp": "", "type": 1},
                       {"name": "pst-test-3@aranetic.com", "email": "pst-test-3@aranetic.com", "smtp": "", "type": 2},
                       {"name": "pst-test-4@aranetic.com", "email": "pst-test-4@aranetic.com", "smtp": "", "type": 2}],
        "attachments": []})"));
}

std::string HashOfFile(const std::filesystem::path& path) {
    return cli::Sha256Hex(FileBytes(path));
}

// The bytes `attachment` and `rtf` write for a message, and those of the HTML
// body the folder export writes, hash as the dump says.
TEST_F(CliTest, DumpHashesTheBytesTheOtherCommandsWrite) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir out;
    const auto plain = CorpusFile("unicode-plain.pst");
    const Json dump = Dump(plain);
    const Json* deleted = FolderAt(dump, {"Top of Personal Folders", "Deleted Items"});
    ASSERT_NE(deleted, nullptr);
    const Json& message = (*deleted)["messages"][0];
    ASSERT_EQ(message["attachments"].size(), 8u);
    for (std::uint32_t i = 0; i < 8; ++i) {
        const auto file = out / ("a" + std::to_string(i));
        ASSERT_EQ(cli::RunAttachment(plain, message["nid"], i, file), 0);
        EXPECT_EQ(message["attachments"][i]["size"], std::filesystem::file_size(file)) << i;
        EXPECT_EQ(message["attachments"][i]["sha256"], HashOfFile(file)) << i;
    }
    ASSERT_EQ(cli::RunRtf(plain, message["nid"], out / "body.rtf"), 0);
    const Bytes rtf = FileBytes(out / "body.rtf");
    EXPECT_EQ(std::string(rtf.begin(), rtf.begin() + std::min<std::ptrdiff_t>(5, std::ssize(rtf))),
              "{\\rtf");
    EXPECT_EQ(message["body"]["rtf_sha256"], HashOfFile(out / "body.rtf"));

    ASSERT_EQ(cli::RunExport(CorpusFile("unicode-to-cc.pst"), out / "export", cli::kRootFolderNid),
              0);
    const auto html = out /
                      "export/Top of Outlook data file/Inbox/1_Multiple "
                      "recipients/MailPropData/34.PR_BODY_HTML.html";
    ASSERT_TRUE(std::filesystem::exists(html));
    const Json toCc = Dump(CorpusFile("unicode-to-cc.pst"));
    EXPECT_EQ((*FolderAt(toCc, {"Top of Outlook data file",
                                "Inbox"}))["messages"][0]["body"]["html_sha256"],
              HashOfFile(html));
}

TEST(Sha256HexTest, GivesTheKnownDigests) {
    EXPECT_EQ(cli::Sha256Hex(std::string_view()),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(cli::Sha256Hex(std::string_view("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(IsoUtcTimeTest, CountsFrom1601AndDropsTheFraction) {
    EXPECT_EQ(cli::IsoUtcTime(0), "1601-01-01T00:00:00Z");
    EXPECT_EQ(cli::IsoUtcTime(116444736000000000ULL), "1970-01-01T00:00:00Z");
    EXPECT_EQ(cli::IsoUtcTime(116444736009999999ULL), "1970-01-01T00:00:00Z");
    // The unicode-to-cc message's time, as its folder export lists it (2010-06-27 17:44:43).
    EXPECT_EQ(cli::IsoUtcTime(129221342830000000ULL), "2010-06-27T17:44:43Z");
}

// Messages built by hand, for what the corpus does not pin down.
class MailJsonTest : public ::testing::Test {
  protected:
    static constexpr std::uint16_t kTypeString8 = 0x001E, kTypeUnicode = 0x001F,
                                   kTypeBinary = 0x0102;
    static constexpr std::uint16_t kTypeObject = 0x000D, kTypeLong = 0x0003, kTypeSysTime = 0x0040;
    RecordBuilder records_;
};

// The plain-text hash is of UTF-8, whether the store keeps the body as UTF-16
// or as 8-bit text in the message's code page.
TEST_F(MailJsonTest, TextBodyHashesItsUtf8) {
    const std::string utf8 = "\u041f\u0440\u0438\u0432\u0435\u0442 \u20ac";
    const std::u16string utf16 = u"\u041f\u0440\u0438\u0432\u0435\u0442 \u20ac";
    const MailEntry* unicode =
        records_.Mail(records_.Map({{0x1000, kTypeUnicode, Utf16BytesTerminated(utf16)}}));
    // Windows-1251, named by PR_INTERNET_CPID.
    const MailEntry* ansi = records_.Mail(
        records_.Map({{0x1000, kTypeString8, {0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, ' ', 0x88, 0}},
                      {0x3FDE, kTypeLong, LongBytes(1251)}}));
    EXPECT_EQ(cli::MailJson(1, unicode)["body"]["text_sha256"], cli::Sha256Hex(utf8));
    EXPECT_EQ(cli::MailJson(2, ansi)["body"]["text_sha256"], cli::Sha256Hex(utf8));
}

// A value the engine wrote to a value file is hashed from the file, not from
// the path the property holds.
TEST_F(MailJsonTest, ValuesInValueFilesAreReadFromTheFile) {
    ScratchDir dir;
    const std::string html = "<html><body>held out of line</body></html>";
    std::ofstream(dir / "value", std::ios::binary) << html;
    const MailEntry* mail = records_.Mail(records_.Map(
        {{0x1013, kTypeBinary, Utf16BytesTerminated(common::Utf8ToUtf16((dir / "value").string())),
          true}}));
    EXPECT_EQ(cli::MailJson(1, mail)["body"]["html_sha256"], cli::Sha256Hex(html));
}

TEST_F(MailJsonTest, AbsentValuesAreNullOrEmpty) {
    AttachmentRow* embedded = records_.Attachment(
        {{0x3701, kTypeObject, LongBytes(0x8025)}, {0x3705, kTypeLong, LongBytes(5)}});
    AttachmentRow* empty = records_.Attachment(
        {{0x3701, kTypeBinary, {}}, {0x3707, kTypeUnicode, Utf16BytesTerminated(u"a.txt")}});
    const MailEntry* mail =
        records_.Mail(records_.Map({}), {records_.Recipient({})}, {embedded, empty});
    EXPECT_EQ(cli::MailJson(7, mail),
              Json::parse(R"({"nid": 7, "class": "", "subject": "", "sender_name": "",
        "sender_email": "", "sender_address": "", "submit_time": null, "flags": 0, "importance": 0,
        "recipients": [{"name": "", "email": "", "smtp": "", "type": 0}],
        "attachments": [{"name": "", "extension": "", "method": 5, "size": 0, "sha256": null},
                        {"name": "a.txt", "extension": "txt", "method": 0, "size": 0,
                         "sha256": "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"}],
        "body": {"text_sha256": null, "html_sha256": null, "rtf_sha256": null}})"));
}

TEST_F(MailJsonTest, SubmitTimeIsUtc) {
    Bytes ticks(8);
    for (int i = 0; i < 8; ++i)
        ticks[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(129221342830000000ULL >> (8 * i));
    const MailEntry* mail = records_.Mail(records_.Map({{0x0039, kTypeSysTime, ticks}}));
    const MailEntry* truncated = records_.Mail(records_.Map({{0x0039, kTypeSysTime, {1, 2, 3}}}));
    EXPECT_EQ(cli::MailJson(1, mail)["submit_time"], "2010-06-27T17:44:43Z");
    EXPECT_EQ(cli::MailJson(2, truncated)["submit_time"], nullptr);
}

}  // namespace
}  // namespace velmora::test
