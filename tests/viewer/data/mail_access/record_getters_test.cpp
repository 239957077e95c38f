// The getters over hand-built records: absent properties, fallbacks, the
// message's code page, recipient lines and the top-folder searches.
#include <gtest/gtest.h>

#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/recipient_lines.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora::test {
namespace {

constexpr std::uint16_t kLong = 0x0003;
constexpr std::uint16_t kString8 = 0x001E;
constexpr std::uint16_t kUnicode = 0x001F;
constexpr std::uint16_t kBinary = 0x0102;

PropInput Text(std::uint16_t id, const std::u16string& text) {
    return {id, kUnicode, Utf16BytesTerminated(text)};
}
PropInput Long(std::uint16_t id, std::int32_t value) {
    return {id, kLong, LongBytes(value)};
}

TEST(RecordGettersTest, AbsentPropertiesGiveEmptyTextZeroAndFalse) {
    RecordBuilder records;
    const MailEntry* mail = records.Mail(records.Map({}));
    EXPECT_EQ(MailSubject(mail), u"");
    EXPECT_EQ(MailSenderAddress(mail), u"");
    EXPECT_EQ(MailSubmitTime(mail), u"");
    EXPECT_EQ(MailImportance(mail), 0);
    EXPECT_FALSE(MailIsRead(mail));
    EXPECT_FALSE(MailHasAttachments(mail));
    EXPECT_EQ(FolderName(static_cast<const FolderEntry*>(nullptr)), u"");
    EXPECT_EQ(MailSubject(nullptr), u"");
    EXPECT_EQ(RecipientType(nullptr), 0);
    EXPECT_FALSE(SaveAttachmentData(records.Attachment({}), u"/tmp/never-written"));
}

// The flags and importance as stored, short and empty values included: a
// damaged store may hold an integer property of any length, zero bytes too.
TEST(RecordGettersTest, MessageFlagsAndImportanceReadTheirBits) {
    RecordBuilder records;
    const struct {
        Bytes flags;
        Bytes importance;
        bool read;
        bool attachments;
        std::int32_t importanceValue;
    } cases[] = {{LongBytes(0x00), {0x02}, false, false, 2},
                 {LongBytes(0x01), {0x02}, true, false, 2},
                 {LongBytes(0x10), {0x02}, false, true, 2},
                 {LongBytes(0x11), {0x02}, true, true, 2},
                 {LongBytes(0x100), {0x02}, false, false, 2},
                 {{0x11}, LongBytes(-1), true, true, -1},
                 {{}, {}, false, false, 0}};
    for (const auto& c : cases) {
        const MailEntry* mail =
            records.Mail(records.Map({{0x0E07, kLong, c.flags}, {0x0017, kLong, c.importance}}));
        const std::string name = "flags of " + std::to_string(c.flags.size()) + " bytes";
        EXPECT_EQ(MailIsRead(mail), c.read) << name;
        EXPECT_EQ(MailHasAttachments(mail), c.attachments) << name;
        EXPECT_EQ(MailImportance(mail), c.importanceValue) << name;
    }
    // An attachment row's integer of zero bytes, as a damaged store gave it.
    RecipientRow* recipient = records.Recipient({{0x0C15, kLong, {}}});
    EXPECT_EQ(RecipientType(recipient), 0);
    EXPECT_EQ(PropInt(records.Attachment({{0x3705, kLong, {}}})->object, 0x3705), 0);
}

TEST(RecordGettersTest, SenderAddressTakesTheFirstPresentTextProperty) {
    RecordBuilder records;
    const struct {
        const char* name;
        MailEntry* mail;
        std::u16string address;
    } cases[] = {
        {"named first",
         records.Mail(
             records.Map({Text(0x801B, u"a@x"), Text(0x5D01, u"b@x"), Text(0x5D02, u"c@x")})),
         u"a@x"},
        {"sender smtp", records.Mail(records.Map({Text(0x5D01, u"b@x"), Text(0x5D02, u"c@x")})),
         u"b@x"},
        {"represented", records.Mail(records.Map({Text(0x5D02, u"c@x")})), u"c@x"},
        // 0x801B names another named property in some stores: a number is no address.
        {"named but a number", records.Mail(records.Map({Long(0x801B, 32), Text(0x5D01, u"b@x")})),
         u"b@x"},
        {"sender email of type SMTP",
         records.Mail(records.Map({Text(0x0C1E, u"SMTP"), Text(0x0C1F, u"d@x")})), u"d@x"},
        {"SMTP properties before the sender email",
         records.Mail(
             records.Map({Text(0x0C1E, u"SMTP"), Text(0x0C1F, u"d@x"), Text(0x5D02, u"c@x")})),
         u"c@x"},
        {"sender email of a directory type",
         records.Mail(records.Map({Text(0x0C1E, u"EX"), Text(0x0C1F, u"/o=org/cn=d")})), u""},
        {"sender email without a type", records.Mail(records.Map({Text(0x0C1F, u"d@x")})), u""},
    };
    for (const auto& c : cases) EXPECT_EQ(MailSenderAddress(c.mail), c.address) << c.name;
}

TEST(RecordGettersTest, EightBitTextsFollowTheMessageCodePage) {
    RecordBuilder records;
    const Bytes privet{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2, 0};
    RecipientRow* recipient = records.Recipient({{0x3001, kString8, privet}, Long(0x0C15, 1)});
    const struct {
        const char* name;
        ExportedPropMap* props;
        std::uint32_t codePage;
    } cases[] = {
        {"internet code page", records.Map({Long(0x3FDE, 1251), Long(0x3FFD, 1252)}), 1251},
        {"message code page", records.Map({Long(0x3FFD, 1251)}), 1251},
        {"unknown internet page falls through",
         records.Map({Long(0x3FDE, 4242), Long(0x3FFD, 1251)}), 1251},
        {"neither", records.Map({}), 1252},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageCodePage(records.Mail(c.props)), c.codePage) << c.name;
    }
    MailEntry* mail = records.Mail(
        records.Map({Long(0x3FDE, 1251), {0x0037, kString8, privet}, {0x0C1A, kString8, privet}}),
        {recipient});
    EXPECT_EQ(MailSubject(mail), u"Привет");
    EXPECT_EQ(MailSenderName(mail), u"Привет");
    EXPECT_EQ(RecipientLines(mail).to, u"Привет");
}

TEST(RecordGettersTest, AttachmentNamesAndExtensionsFallBack) {
    RecordBuilder records;
    const struct {
        const char* name;
        AttachmentRow* row;
        std::u16string fileName;
        bool hasExtension;
        std::u16string extension;
    } cases[] = {
        {"extension property",
         records.Attachment({Text(0x3707, u"report.final.pdf"), Text(0x3703, u".PDF")}),
         u"report.final.pdf", true, u"PDF"},
        {"two dots, no extension property", records.Attachment({Text(0x3707, u"report.final.pdf")}),
         u"report.final.pdf", true, u"pdf"},
        {"empty extension property",
         records.Attachment({Text(0x3707, u"icons.gif"), Text(0x3703, u"")}), u"icons.gif", true,
         u"gif"},
        {"no dot", records.Attachment({Text(0x3707, u"README")}), u"README", false, u""},
        {"empty long name uses display name",
         records.Attachment({Text(0x3707, u""), Text(0x3001, u"Shown")}), u"Shown", false, u""},
        {"only display name", records.Attachment({Text(0x3001, u"a.txt")}), u"a.txt", false, u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AttachmentName(c.row), c.fileName) << c.name;
        std::u16string extension = u"stale";
        EXPECT_EQ(AttachmentExtension(c.row, extension), c.hasExtension) << c.name;
        EXPECT_EQ(extension, c.extension) << c.name;
    }
}

TEST(RecordGettersTest, AttachmentDataIsWrittenAsStored) {
    ScratchDir dir;
    RecordBuilder records;
    const AttachmentRow* row = records.Attachment({{0x3701, kBinary, {0x89, 'P', 'N', 'G'}}});
    ASSERT_TRUE(SaveAttachmentData(row, common::PathToUtf16(dir / "a.png")));
    std::vector<std::uint8_t> content;
    ASSERT_TRUE(ReadWholeFile(common::PathToUtf16(dir / "a.png"), content));
    EXPECT_EQ(content, (Bytes{0x89, 'P', 'N', 'G'}));
}

TEST(RecipientLinesTest, AddressesAreBracketedAndWwwIsDropped) {
    const struct {
        std::u16string name, address, line;
    } cases[] = {
        {u"Ann", u"ann@www.example.com", u"Ann <ann@example.com>"},
        {u"Ann", u"ann@example.com", u"Ann <ann@example.com>"},
        {u"Ann", u"ann@www.a.com@www.b.com",
         u"Ann <ann@a.com@www.b.com>"},  // only the first occurrence
        {u"Ann", u"www.ann@example.com", u"Ann <www.ann@example.com>"},
        {u"Ann", u"/o=Org/cn=ann", u"Ann"},
        {u"Ann", u"", u"Ann"},
    };
    for (const auto& c : cases) EXPECT_EQ(AddressedName(c.name, c.address), c.line);
}

TEST(RecipientLinesTest, RecipientsAreSortedIntoLinesByType) {
    RecordBuilder records;
    auto recipient = [&](const std::u16string& name, const std::u16string& address,
                         std::int32_t type) {
        return records.Recipient({Text(0x3001, name), Text(0x39FE, address), Long(0x0C15, type)});
    };
    MailEntry* mail = records.Mail(
        records.Map({}), {recipient(u"A", u"a@x.org", 1), recipient(u"B", u"b", 1),
                          recipient(u"C", u"c@www.x.org", 2), recipient(u"D", u"d@x.org", 3),
                          recipient(u"Z", u"z@x.org", 0), recipient(u"E", u"e@x.org", 3)});
    const RecipientLineSet lines = RecipientLines(mail);
    EXPECT_EQ(lines.to, u"A <a@x.org>; B");
    EXPECT_EQ(lines.cc, u"C <c@x.org>");
    EXPECT_EQ(lines.bcc, u"D <d@x.org>; E <e@x.org>");
}

TEST(RecipientLinesTest, SmtpAddressFallsBackToTheEmailAddressOfSmtpRecipients) {
    RecordBuilder records;
    const struct {
        const char* name;
        RecipientRow* row;
        std::u16string address;
    } cases[] = {
        {"smtp address first",
         records.Recipient(
             {Text(0x39FE, u"a@x.org"), Text(0x3003, u"b@x.org"), Text(0x3002, u"SMTP")}),
         u"a@x.org"},
        {"email address of an SMTP recipient",
         records.Recipient({Text(0x3003, u"b@x.org"), Text(0x3002, u"SMTP")}), u"b@x.org"},
        {"exchange address is no address",
         records.Recipient({Text(0x3003, u"/o=Org/cn=b"), Text(0x3002, u"EX")}), u""},
        {"no address type", records.Recipient({Text(0x3003, u"b@x.org")}), u""},
    };
    for (const auto& c : cases) EXPECT_EQ(RecipientAddress(c.row), c.address) << c.name;
}

TEST(StoreFoldersTest, TopFoldersAreFoundByExactName) {
    RecordBuilder records;
    const struct {
        const char* name;
        FolderList* roots;
        const char16_t* top;  // null: none
        const char16_t* ipm;  // null: none
    } cases[] = {
        {"personal folders",
         records.List({records.Folder(u"Search Root"), records.Folder(u"Top of Personal Folders")}),
         u"Top of Personal Folders", nullptr},
        {"outlook data file first wins",
         records.List({records.Folder(u"Top of Outlook data file"),
                       records.Folder(u"Top of Personal Folders")}),
         u"Top of Outlook data file", nullptr},
        {"mailbox",
         records.List({records.Folder(u"Root - Mailbox",
                                      {records.Folder(u"Views"), records.Folder(u"IPM_SUBTREE")})}),
         nullptr, u"IPM_SUBTREE"},
        {"mailbox without subtree",
         records.List({records.Folder(u"Root - Mailbox", {records.Folder(u"ipm_subtree")})}),
         nullptr, nullptr},
        {"case differs", records.List({records.Folder(u"top of personal folders")}), nullptr,
         nullptr},
        {"nothing known", records.List({records.Folder(u"Inbox")}), nullptr, nullptr},
    };
    for (const auto& c : cases) {
        EngineHandle handle{nullptr, c.roots, nullptr, nullptr};
        const FolderEntry* top = FindTopOfPersonalFolders(&handle);
        const FolderEntry* ipm = FindIpmSubtree(&handle);
        EXPECT_EQ(top ? FolderName(top) : std::u16string(u"(none)"), c.top ? c.top : u"(none)")
            << c.name;
        EXPECT_EQ(ipm ? FolderName(ipm) : std::u16string(u"(none)"), c.ipm ? c.ipm : u"(none)")
            << c.name;
    }
}

// The engine owns every list it hands out: a handle without a root list reads
// as a store without folders, and the viewer leaves the handle as it was.
TEST(StoreFoldersTest, MissingRootListReadsAsNoFoldersAndStaysMissing) {
    EngineHandle handle{};
    EXPECT_EQ(RootFolders(&handle), nullptr);
    EXPECT_EQ(FindTopOfPersonalFolders(&handle), nullptr);
    EXPECT_EQ(FindIpmSubtree(&handle), nullptr);
    EXPECT_EQ(handle.rootFolders, nullptr);
    EXPECT_EQ(RootFolders(nullptr), nullptr);
}

}  // namespace
}  // namespace velmora::test
