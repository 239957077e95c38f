// Attachment names from a store never reach outside their attachment folder.
#include <gtest/gtest.h>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/data/rebuild/corpus_messages.h"
#include "viewer/data/rebuild/attachment_file_name.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {
namespace {

const std::u16string kLongName = std::u16string(296, u'a') + u".txt";

TEST(AttachmentNameTest, HostileNamesBecomeOneHarmlessComponent) {
    const struct {
        std::u16string stored;
        std::u16string file;
    } cases[] = {
        {u"../../.bashrc", u"_bashrc"},
        {u"/etc/x", u"x"},
        {u"a\\..\\..\\b", u"b"},
        {u"..", u"attachment"},
        {u"dir/", u"dir"},
        {u"a\x01\x1F\x7F"
         u"b.txt",
         u"a___b.txt"},
        {u"new\r\nline.txt", u"new__line.txt"},
        {u"what?<>|*\".doc", u"what______.doc"},
        {u"trailing. . ", u"trailing"},
        {u"CON.txt", u"_CON.txt"},
        {u"lpt1", u"_lpt1"},
        {u"", u"attachment"},
        {u"r\u00e9sum\u00e9.pdf", u"r\u00e9sum\u00e9.pdf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeAttachmentFileName(c.stored), c.file) << common::Utf16ToUtf8(c.stored);
    }
}

TEST(AttachmentNameTest, LongNamesKeepTheirExtensionAndWholeCharacters) {
    const std::u16string safe = SafeAttachmentFileName(kLongName);
    EXPECT_LE(common::Utf16ToUtf8(safe).size(), kMaxAttachmentNameBytes);
    EXPECT_TRUE(safe.ends_with(u".txt"));
    const std::u16string emoji = SafeAttachmentFileName(std::u16string(150, u'\xD83D') + u"x");
    EXPECT_EQ(common::Utf16ToUtf8(emoji).find("\xEF\xBF\xBD"), std::string::npos)
        << "no half surrogate pairs";
    std::u16string pairs;
    for (int i = 0; i < 120; ++i) pairs += u"\U0001F600";
    const std::u16string cut = SafeAttachmentFileName(pairs);
    EXPECT_EQ(cut.size() % 2, 0u);
    EXPECT_LE(common::Utf16ToUtf8(cut).size(), kMaxAttachmentNameBytes);
}

TEST(AttachmentNameTest, RepeatedNamesGetNumbers) {
    AttachmentFileNames names;
    EXPECT_EQ(names.Take(u"a.txt"), u"a.txt");
    EXPECT_EQ(names.Take(u"A.TXT"), u"A (2).TXT");
    EXPECT_EQ(names.Take(u"x/a.txt"), u"a (3).txt");
    const std::u16string first = names.Take(kLongName);
    const std::u16string second = names.Take(kLongName);
    EXPECT_NE(first, second);
    EXPECT_TRUE(second.ends_with(u" (2).txt"));
    EXPECT_LE(common::Utf16ToUtf8(second).size(), kMaxAttachmentNameBytes);
}

// The real component fed hostile names: every file lands in the one attachment folder.
TEST(AttachmentNameTest, RenderingWritesOnlyInsideTheAttachmentFolder) {
    const TestWorkFolder work;
    RecordBuilder records;
    std::vector<AttachmentRow*> rows;
    const std::u16string names[] = {u"../../.bashrc", u"/etc/x", u"a\\..\\..\\b",
                                    u"ctl\x01\x02.txt", kLongName};
    for (const auto& name : names) {
        rows.push_back(records.Attachment(
            {{0x3701, 0x102, {'x', 'y'}}, {0x3707, 0x1F, Utf16BytesTerminated(name)}}));
    }
    const MailEntry* mail =
        records.Mail(records.Map({{0x1000, 0x1F, Utf16BytesTerminated(u"body")}}), {}, rows);
    const auto target = work.Path() / "page.mht";
    ASSERT_TRUE(RenderSelectedMessage(mail, common::PathToUtf16(target)));
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(work.Path())) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 6u);  // five attachments and the page
    const auto folder = work.Path() / "MSG_BODY";
    for (const auto& file : files) {
        if (file == target) continue;
        EXPECT_EQ(file.parent_path().parent_path(), folder) << file;
        EXPECT_LE(file.filename().native().size(), kMaxAttachmentNameBytes);
    }
}

}  // namespace
}  // namespace velmora::test
