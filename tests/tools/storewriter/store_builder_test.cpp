// Whole stores from StoreBuilder, read back through the engine's exports:
// folders with their names and classes, and every message's subject, sender,
// time, flags, bodies, recipients and attachments, in every variant and crypt
// method; 8-bit strings with a code page in ANSI stores, UTF-16 in the others.
#include "engine/interface/corvex_engine.h"
#include "engine/storage/context_reader.h"
#include "tests/tools/storewriter/mail_store_fixture.h"
#include "tests/tools/storewriter/writer_cases.h"
#include "tools/storewriter/folder_writer.h"
#include "tools/storewriter/message_properties.h"
#include "viewer/data/compressed_rtf/compressed_rtf.h"

namespace velmora::storewriter::test {
namespace {

using velmora::test::FindProp;
using velmora::test::PropBytes;
using velmora::test::PropLong;
using velmora::test::PropText;

std::vector<std::uint8_t> Utf8Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string DecompressRtf(const std::vector<std::uint8_t>& stream) {
    CLZFuCompression codec;
    int size = 0;
    const int length = static_cast<int>(stream.size());
    if (codec.GetRawSize(stream.data(), length, &size) != 1) return "<bad header>";
    std::vector<std::uint8_t> out(static_cast<std::size_t>(size));
    if (codec.Decompress(out.data(), &size, stream.data(), length) != 1)
        return std::string(codec.FailureText());
    // The decoder also expands the closing reference; the header's raw size ends the text.
    const std::size_t rawSize = common::LoadLE<std::uint32_t>(stream, 4);
    return {out.begin(),
            out.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(rawSize, size))};
}

// Plain ASCII text from 8-bit or UTF-16LE string bytes.
std::string AsciiText(const std::vector<std::uint8_t>& bytes, bool ansi) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += ansi ? 1 : 2)
        text.push_back(static_cast<char>(bytes[i]));
    return text;
}

class StoreBuilderTest : public ::testing::TestWithParam<WriterCase> {
  protected:
    void SetUp() override {
        WriterOptions options = GetParam().options;
        options.spoolDirectory = scratch_.Path();
        StoreBuilder builder(options);
        expected_ = BuildMixedStore(builder);
        std::string error;
        ASSERT_TRUE(builder.WriteTo(Path(), &error)) << error;
    }
    std::filesystem::path Path() const { return scratch_ / "mail.pst"; }
    bool Ansi() const { return GetParam().options.variant == Variant::kAnsi; }

    void ExpectBodies(const ExportedPropMap* props, const MessageSpec& wanted) const {
        EXPECT_EQ(PropText(props, common::prop::kBody), wanted.body);
        if (wanted.htmlBody.empty()) {
            EXPECT_EQ(FindProp(props, common::prop::kBodyHtml), nullptr);
        } else {
            EXPECT_EQ(PropBytes(*FindProp(props, common::prop::kBodyHtml)),
                      Utf8Bytes(wanted.htmlBody));
        }
        if (!wanted.rtfBody.empty()) {
            EXPECT_EQ(DecompressRtf(PropBytes(*FindProp(props, common::prop::kRtfCompressed))),
                      wanted.rtfBody);
        }
        EXPECT_EQ(PropLong(props, common::prop::kMessageCodePage), 1252u);
        EXPECT_EQ(PropLong(props, common::prop::kInternetCodePage), Ansi() ? 1252u : 65001u);
    }

    void ExpectRecipients(const MailEntry& mail, const MessageSpec& wanted) const {
        ASSERT_EQ(mail.recipients->count, wanted.recipients.size());
        for (std::size_t i = 0; i < wanted.recipients.size(); ++i) {
            const ExportedPropMap* cells = mail.recipients->items[i]->tableRow;
            const RecipientSpec& r = wanted.recipients[i];
            EXPECT_EQ(PropText(cells, common::prop::kDisplayName), r.displayName);
            EXPECT_EQ(PropText(cells, common::prop::kEmailAddress), r.emailAddress);
            EXPECT_EQ(PropText(cells, common::prop::kAddressType), r.addressType);
            EXPECT_EQ(PropText(cells, common::prop::kSmtpAddress),
                      r.addressType == "SMTP" ? r.emailAddress : "");
            EXPECT_EQ(PropLong(cells, common::prop::kRecipientType),
                      static_cast<std::uint32_t>(r.type));
        }
    }

    void ExpectAttachment(const AttachmentRow& row, const AttachmentSpec& wanted) const {
        EXPECT_EQ(PropLong(row.tableRow, common::prop::kAttachMethod), wanted.embedded ? 5u : 1u);
        if (wanted.embedded) {
            EXPECT_EQ(PropText(row.object, common::prop::kDisplayName), wanted.embedded->subject);
            const ExportedProp* object = FindProp(row.object, common::prop::kAttachDataBin);
            ASSERT_NE(object, nullptr);
            EXPECT_EQ(object->type, common::ptype::kObject);
            EXPECT_EQ(PropBytes(*object).size(), 8u) << "the embedded message's NID and size";
            return;
        }
        EXPECT_EQ(PropText(row.tableRow, common::prop::kAttachFilename), wanted.fileName);
        EXPECT_EQ(PropText(row.object, common::prop::kAttachLongFilename), wanted.fileName);
        EXPECT_EQ(PropLong(row.object, common::prop::kAttachSize), wanted.data.size());
        EXPECT_EQ(PropBytes(*FindProp(row.object, common::prop::kAttachDataBin)), wanted.data)
            << wanted.fileName;
    }

    void ExpectMessage(const MailEntry& mail, const MessageSpec& wanted) const {
        SCOPED_TRACE(wanted.subject);
        const ExportedProp* subject = FindProp(mail.props, common::prop::kSubject);
        ASSERT_NE(subject, nullptr);
        EXPECT_EQ(subject->type, Ansi() ? common::ptype::kString8 : common::ptype::kUnicode);
        EXPECT_EQ(PropText(mail.props, common::prop::kSubject), wanted.subject);
        EXPECT_EQ(PropText(mail.props, common::prop::kMessageClass), wanted.messageClass);
        EXPECT_EQ(PropText(mail.props, common::prop::kSenderName), wanted.senderName);
        EXPECT_EQ(PropText(mail.props, common::prop::kSenderEmailAddress), wanted.senderEmail);
        if (wanted.submitTime != 0) {
            EXPECT_EQ(common::LoadLE<std::uint64_t>(
                          PropBytes(*FindProp(mail.props, common::prop::kClientSubmitTime)), 0),
                      wanted.submitTime);
        }
        EXPECT_EQ(
            PropLong(mail.props, common::prop::kMessageFlags),
            wanted.attachments.empty() ? wanted.flags : wanted.flags | kMessageFlagHasAttachment);
        EXPECT_EQ(PropLong(mail.props, common::prop::kImportance), wanted.importance);
        ExpectBodies(mail.props, wanted);
        ExpectRecipients(mail, wanted);
        ASSERT_EQ(mail.attachments->count, wanted.attachments.size());
        for (std::size_t i = 0; i < wanted.attachments.size(); ++i) {
            ExpectAttachment(*mail.attachments->items[i], wanted.attachments[i]);
        }
    }

    velmora::test::ScratchDir scratch_;
    std::vector<ExpectedFolder> expected_;
};

TEST_P(StoreBuilderTest, EngineWalksFoldersMessagesRecipientsAndAttachments) {
    velmora::test::OpenedStore store(Path(), EngineVariant(GetParam().options.variant));
    ASSERT_TRUE(store.Opened());
    FolderList& roots = store.AllFolders();
    ASSERT_EQ(roots.count, 1u) << "the root folder holds only the top folder";
    EXPECT_EQ(velmora::test::FolderDisplayName(*roots.items[0]), kTopFolderName);
    const auto walked = velmora::test::FoldersBelow(*roots.items[0]);
    ASSERT_EQ(walked.size(), expected_.size());
    for (std::size_t f = 0; f < walked.size(); ++f) {
        SCOPED_TRACE(expected_[f].path);
        EXPECT_EQ(walked[f].path, expected_[f].path);
        EXPECT_EQ(PropText(walked[f].entry->props, common::prop::kContainerClass),
                  expected_[f].containerClass);
        EXPECT_EQ(PropLong(walked[f].entry->props, common::prop::kContentCount),
                  expected_[f].messages.size());
        ASSERT_EQ(store.Calls().enumChildMails(walked[f].entry, store.Handle(), 0, 0), 1);
        const auto mails = velmora::test::MailsOf(*walked[f].entry);
        ASSERT_EQ(mails.size(), expected_[f].messages.size());
        for (std::size_t m = 0; m < mails.size(); ++m)
            ExpectMessage(*mails[m], expected_[f].messages[m]);
    }
}

// The tables a mail client reads instead of parent links: the hierarchy table
// lists each folder's children and the contents table its messages, in order.
TEST_P(StoreBuilderTest, HierarchyAndContentsTablesListChildrenAndMessages) {
    WithDatabase(GetParam().options.variant, Path(), [&](const auto& db) {
        const corvex::ContextReader contexts(db.Reader());
        const auto* topTable =
            db.Walker().FindNode(FolderTableNid(kTopFolderNid, kHierarchyTableType));
        ASSERT_NE(topTable, nullptr);
        std::vector<std::string> names;
        for (const corvex::TableRow& row : contexts.NodeTable(*topTable)) {
            const corvex::PropValue* name = row.cells.Find(common::prop::kDisplayName);
            ASSERT_NE(name, nullptr);
            names.push_back(AsciiText(name->bytes, Ansi()));
            const corvex::NbtEntry* folder = db.Walker().FindNode(row.rowId);
            ASSERT_NE(folder, nullptr);
            EXPECT_EQ(folder->nidParent, kTopFolderNid);
            const auto* contents =
                db.Walker().FindNode(FolderTableNid(row.rowId, kContentsTableType));
            ASSERT_NE(contents, nullptr);
            for (const corvex::TableRow& message : contexts.NodeTable(*contents)) {
                EXPECT_EQ(db.Walker().FindNode(message.rowId)->nidParent, row.rowId);
                EXPECT_NE(message.cells.Find(common::prop::kSubject), nullptr);
            }
        }
        EXPECT_EQ(names, (std::vector<std::string>{"Inbox", "Contacts", "Sent Items"}));
    });
}

std::size_t Entries(const std::filesystem::path& dir, char first) {
    std::size_t count = 0;
    if (!std::filesystem::is_directory(dir)) return 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        count += entry.path().filename().string().front() == first ? 1 : 0;
    }
    return count;
}

// The folder export writes a directory per folder and per message, with a
// record per attachment and per recipient.
TEST_P(StoreBuilderTest, SaveFolderHierarchyWritesEveryFolderMessageAndRow) {
    velmora::test::OpenedStore store(Path(), EngineVariant(GetParam().options.variant));
    ASSERT_TRUE(store.Opened());
    const FolderEntry* top = store.AllFolders().items[0];
    velmora::test::ScratchDir target;
    store.Calls().saveFolderHierarchy(top->nidLow, top->nidHigh,
                                      velmora::test::U16(target.Path()).c_str(), store.Handle());
    for (const ExpectedFolder& folder : expected_) {
        SCOPED_TRACE(folder.path);
        const std::filesystem::path dir = target.Path() / folder.path;
        ASSERT_EQ(Entries(dir, '1') + Entries(dir, '2') + Entries(dir, '3'),
                  folder.messages.size());
        for (std::size_t m = 0; m < folder.messages.size(); ++m) {
            const MessageSpec& wanted = folder.messages[m];
            std::filesystem::path message;
            for (const auto& entry : std::filesystem::directory_iterator(dir)) {
                if (entry.path().filename().string().rfind(std::to_string(m + 1) + "_", 0) == 0)
                    message = entry.path();
            }
            ASSERT_FALSE(message.empty()) << wanted.subject;
            EXPECT_TRUE(std::filesystem::exists(message / "MailPropData"));
            EXPECT_EQ(Entries(message / "AttachData", 'R'), wanted.attachments.size())
                << wanted.subject;
            EXPECT_EQ(Entries(message / "RecipientData", 'R'), wanted.recipients.size())
                << wanted.subject;
        }
    }
}

// An embedded message is a subnode of its attachment object, named by the
// object's 0x3701 value, with its own recipient and attachment tables below it.
TEST_P(StoreBuilderTest, EmbeddedMessageReadsBackThroughTheNestedSubnodes) {
    const MessageSpec& outer = expected_[0].messages[1];
    const MessageSpec& inner = *outer.attachments[0].embedded;
    WithDatabase(GetParam().options.variant, Path(), [&](const auto& db) {
        const corvex::ContextReader contexts(db.Reader());
        const corvex::NbtEntry* message = db.Walker().FindNode(expected_[0].nids[1]);
        ASSERT_NE(message, nullptr);
        const auto* table = message->Subnodes().Find(common::kAttachmentTableNid);
        ASSERT_NE(table, nullptr);
        const auto rows = contexts.SubnodeTable(*table);
        ASSERT_EQ(rows.size(), 2u);
        const auto* object = message->Subnodes().Find(rows[0].rowId);
        ASSERT_NE(object, nullptr);
        const corvex::PropertyMap attachment = contexts.SubnodeProperties(*object);
        const auto value = attachment.Find(common::prop::kAttachDataBin)->bytes;
        const auto* embedded = object->Nested().Find(common::LoadLE<std::uint32_t>(value, 0));
        ASSERT_NE(embedded, nullptr);
        const corvex::PropertyMap properties = contexts.SubnodeProperties(*embedded);
        EXPECT_EQ(properties.Find(common::prop::kSubject)->bytes.size(),
                  inner.subject.size() * (Ansi() ? 1 : 2));
        const auto* recipients = embedded->Nested().Find(common::kRecipientTableNid);
        ASSERT_NE(recipients, nullptr);
        EXPECT_EQ(contexts.SubnodeTable(*recipients).size(), inner.recipients.size());
        const auto* attachments = embedded->Nested().Find(common::kAttachmentTableNid);
        ASSERT_NE(attachments, nullptr);
        EXPECT_EQ(contexts.SubnodeTable(*attachments).size(), inner.attachments.size());
    });
}

INSTANTIATE_TEST_SUITE_P(AllVariants, StoreBuilderTest, ::testing::ValuesIn(AllWriterCases()),
                         CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
