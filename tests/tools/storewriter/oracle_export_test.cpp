// Stores from StoreBuilder exported by an independent reader of the format
// (pffexport, when installed): it must find the same folders, and in each
// message the same subject, body, recipients and attachments, including a
// recipient table whose heap spans many blocks and an embedded message.
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/tools/storewriter/mail_store_fixture.h"
#include "tests/tools/storewriter/writer_cases.h"
#include "tools/storewriter/recipient_table.h"
#include "tools/storewriter/sample_mail_store.h"

namespace velmora::storewriter::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kManyRecipients = 800;  // a heap past its first bitmap header (block 8)

fs::path FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        if (!dir.empty() && fs::exists(fs::path(dir) / program)) return fs::path(dir) / program;
    }
    return {};
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The value after "Label:" and its tabs on each line that starts with the label.
std::vector<std::string> Field(const std::string& text, const std::string& label) {
    std::vector<std::string> values;
    std::stringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(label + ":", 0) != 0) continue;
        const std::size_t start = line.find_first_not_of('\t', label.size() + 1);
        values.push_back(start == std::string::npos ? "" : line.substr(start));
    }
    return values;
}

std::vector<std::string> SortedNames(const fs::path& dir) {
    std::vector<std::string> names;
    if (!fs::is_directory(dir)) return names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Subject to message directory, for the messages the reader exported from `folder`.
std::map<std::string, fs::path> MessagesIn(const fs::path& folder) {
    std::map<std::string, fs::path> messages;
    for (const std::string& name : SortedNames(folder)) {
        if (name.rfind("Message", 0) != 0) continue;
        const auto subjects = Field(ReadText(folder / name / "OutlookHeaders.txt"), "Subject");
        messages[subjects.empty() ? "" : subjects.front()] = folder / name;
    }
    return messages;
}

MessageSpec WideMessage() {
    MessageSpec m;
    m.subject = "Many recipients";
    m.body = "Sent to a crowd.";
    for (std::size_t i = 0; i < kManyRecipients; ++i) {
        const std::string n = std::to_string(i);
        m.recipients.push_back({"Recipient number " + n, "recipient" + n + "@example.org", "SMTP",
                                RecipientType::kTo});
    }
    return m;
}

class OracleExportTest : public ::testing::TestWithParam<WriterCase> {
  protected:
    void SetUp() override {
        exporter_ = FindOnPath("pffexport");
        if (exporter_.empty()) GTEST_SKIP() << "pffexport is not installed";
        WriterOptions options = GetParam().options;
        options.spoolDirectory = scratch_.Path();
        StoreBuilder builder(options);
        expected_ = BuildMixedStore(builder);
        const std::uint32_t crowd = builder.AddFolder(builder.TopFolder(), "Crowd");
        expected_.push_back({"Crowd", "IPF.Note", {WideMessage()}, {}});
        ASSERT_NE(builder.AddMessage(crowd, expected_.back().messages.front()), 0u);
        std::string error;
        ASSERT_TRUE(builder.WriteTo(scratch_ / "oracle.pst", &error)) << error;
        const std::string command = exporter_.string() + " -q -f all -t '" +
                                    (scratch_ / "out").string() + "' '" +
                                    (scratch_ / "oracle.pst").string() + "' > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        top_ = scratch_ / "out.export" / kTopFolderName;
    }

    void ExpectRecipients(const fs::path& dir, const MessageSpec& wanted) const {
        const std::string text = ReadText(dir / "Recipients.txt");
        std::vector<std::string> names;
        for (const RecipientSpec& r : wanted.recipients) names.push_back(r.displayName);
        EXPECT_EQ(Field(text, "Display name"), names);
        for (const RecipientSpec& r : wanted.recipients)
            EXPECT_NE(text.find(r.emailAddress), std::string::npos);
    }

    void ExpectAttachments(const fs::path& dir, const MessageSpec& wanted) const {
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < wanted.attachments.size(); ++i) {
            const AttachmentSpec& a = wanted.attachments[i];
            expected.push_back(a.embedded ? "Attachment0000" + std::to_string(i + 1)
                                          : std::to_string(i + 1) + "_" + a.fileName);
            if (a.embedded) {
                const auto inner = MessagesIn(dir / "Attachments" / expected.back());
                EXPECT_EQ(inner.count(a.embedded->subject), 1u) << "the embedded message";
            } else {
                const std::string data = ReadText(dir / "Attachments" / expected.back());
                EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.end()), a.data)
                    << a.fileName;
            }
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(SortedNames(dir / "Attachments"), expected);
    }

    void ExpectMessage(const fs::path& dir, const MessageSpec& wanted) const {
        SCOPED_TRACE(wanted.subject);
        const std::string headers = ReadText(dir / "OutlookHeaders.txt");
        if (!wanted.senderName.empty()) {
            EXPECT_EQ(Field(headers, "Sender name"), std::vector{wanted.senderName});
        }
        EXPECT_EQ(ReadText(dir / "Message.txt"), wanted.body);
        if (!wanted.htmlBody.empty()) {
            EXPECT_EQ(ReadText(dir / "Message.html"), wanted.htmlBody);
        }
        if (!wanted.rtfBody.empty()) {
            EXPECT_EQ(ReadText(dir / "Message.rtf").substr(0, wanted.rtfBody.size()),
                      wanted.rtfBody);
        }
        ExpectRecipients(dir, wanted);
        ExpectAttachments(dir, wanted);
    }

    fs::path exporter_;
    velmora::test::ScratchDir scratch_;
    std::vector<ExpectedFolder> expected_;
    fs::path top_;
};

TEST_P(OracleExportTest, ReaderExportsTheSameFoldersMessagesRecipientsAndAttachments) {
    const NodeContent crowd =
        BuildRecipientTable(LayoutFor(GetParam().options.variant), WideMessage().recipients);
    ASSERT_GE(crowd.blocks.size(), 9u) << "the crowd's recipient table is a heap of many blocks";
    std::vector<std::string> folders;
    for (const ExpectedFolder& folder : expected_) {
        if (folder.path.find('/') == std::string::npos) folders.push_back(folder.path);
    }
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(SortedNames(top_), folders);
    for (const ExpectedFolder& folder : expected_) {
        SCOPED_TRACE(folder.path);
        const auto messages = MessagesIn(top_ / folder.path);
        ASSERT_EQ(messages.size(), folder.messages.size());
        for (const MessageSpec& wanted : folder.messages) {
            const auto found = messages.find(wanted.subject);
            ASSERT_NE(found, messages.end())
                << wanted.subject << " not among " << ::testing::PrintToString(messages);
            ExpectMessage(found->second, wanted);
        }
    }
}

// The store storegen writes with no options but its output: the reader finds
// its folders, and in each message the recipients and attachments it was given.
TEST_P(OracleExportTest, StoregenDefaultStoreExportsAsGenerated) {
    const SyntheticStoreShape shape;
    WriterOptions options = GetParam().options;
    options.spoolDirectory = scratch_.Path();
    StoreBuilder builder(options);
    ASSERT_TRUE(BuildSampleMailStore(builder, shape));
    std::string error;
    ASSERT_TRUE(builder.WriteTo(scratch_ / "sample.pst", &error)) << error;
    const std::string command = exporter_.string() + " -q -f all -t '" +
                                (scratch_ / "sample").string() + "' '" +
                                (scratch_ / "sample.pst").string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const fs::path top = scratch_ / "sample.export" / kTopFolderName;
    std::vector<std::string> folders;
    for (std::uint32_t f = 0; f < shape.folders; ++f) folders.push_back(SampleFolderName(f));
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(SortedNames(top), folders);
    for (std::uint32_t f = 0; f < shape.folders; ++f) {
        const auto messages = MessagesIn(top / SampleFolderName(f));
        ASSERT_EQ(messages.size(), shape.messagesPerFolder);
        for (std::uint32_t m = 0; m < shape.messagesPerFolder; ++m) {
            const MessageSpec wanted = SampleMessage(shape, f, m);
            const auto found = messages.find(wanted.subject);
            ASSERT_NE(found, messages.end()) << wanted.subject;
            ExpectMessage(found->second, wanted);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllVariants, OracleExportTest, ::testing::ValuesIn(AllWriterCases()),
                         CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
