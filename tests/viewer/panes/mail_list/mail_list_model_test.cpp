// The mail list's rows as a view reads them from the engine's records: the
// image each icon column shows, the texts, what a screen reader hears, and
// the list following Fill and Clear without copying a row.
#include <gtest/gtest.h>

#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/mail_list/mail_list_model.h"

namespace velmora::test {
namespace {

using Model = MailListModel;

struct RowCase {
    const char* label;
    std::vector<PropInput> props;
    int importanceImage;
    int readImage;
    int attachmentImage;
    QString importanceName;
    QString subject;
};

const Bytes kFlagsReadWithAttachments = LongBytes(0x11);
const Bytes kFlagsUnread = LongBytes(0x00);

class MailListModelTest : public ::testing::Test {
  protected:
    MailList* ListOf(const std::vector<MailEntry*>& mails) {
        items_ = mails;
        const auto count = static_cast<std::uint32_t>(items_.size());
        list_ = MailList{MailEntryList{items_.data(), count, count}, 0, 0, 0, nullptr};
        return &list_;
    }
    QVariant Cell(int row, int column, int role) const {
        return model_.data(model_.index(row, column), role);
    }

    RecordBuilder records_;
    std::vector<MailEntry*> items_;
    MailList list_{};
    Model model_;
};

TEST_F(MailListModelTest, EachRowShowsItsMessagesImagesAndTexts) {
    const RowCase cases[] = {
        {"read, attachments, high importance",
         {{0x0017, 0x03, LongBytes(2)}, {0x0E07, 0x03, kFlagsReadWithAttachments}},
         Model::kImageHighImportance,
         Model::kImageRead,
         Model::kImageHasAttachments,
         "High importance",
         ""},
        {"nothing stored: low importance, unread, no attachments",
         {},
         Model::kImageLowImportance,
         Model::kImageUnread,
         -1,
         "Low importance",
         ""},
        {"normal importance, unread",
         {{0x0017, 0x03, LongBytes(1)}, {0x0E07, 0x03, kFlagsUnread}},
         Model::kImageNormalImportance,
         Model::kImageUnread,
         -1,
         "Normal importance",
         ""},
        {"an importance out of range counts as normal",
         {{0x0017, 0x03, LongBytes(7)}},
         Model::kImageNormalImportance,
         Model::kImageUnread,
         -1,
         "Normal importance",
         ""},
        {"a subject loses its leading blanks only",
         {{0x0037, 0x1F, Utf16BytesTerminated(u" \t  Quarterly figures  ")}},
         Model::kImageLowImportance,
         Model::kImageUnread,
         -1,
         "Low importance",
         "Quarterly figures  "},
    };
    std::vector<MailEntry*> mails;
    for (const RowCase& c : cases) mails.push_back(records_.Mail(records_.Map(c.props)));
    model_.Fill(ListOf(mails));
    ASSERT_EQ(model_.rowCount(), static_cast<int>(std::size(cases)));
    for (int row = 0; row < model_.rowCount(); ++row) {
        const RowCase& c = cases[row];
        SCOPED_TRACE(c.label);
        EXPECT_EQ(Cell(row, Model::kImportance, Model::kImageIndexRole), c.importanceImage);
        EXPECT_EQ(Cell(row, Model::kReadState, Model::kImageIndexRole), c.readImage);
        EXPECT_EQ(Cell(row, Model::kAttachment, Model::kImageIndexRole), c.attachmentImage);
        EXPECT_EQ(Cell(row, Model::kImportance, Qt::AccessibleTextRole), c.importanceName);
        EXPECT_EQ(Cell(row, Model::kSubject, Qt::DisplayRole), c.subject);
        EXPECT_EQ(Cell(row, Model::kFrom, Qt::DisplayRole), QString());
        EXPECT_EQ(Cell(row, Model::kFrom, Model::kMailRole),
                  QVariant::fromValue(reinterpret_cast<quintptr>(mails[row])));
        EXPECT_EQ(model_.MailAt(row), mails[row]);
    }
}

TEST_F(MailListModelTest, SenderAndTimeComeFromTheRecord) {
    MailEntry* mail = records_.Mail(
        records_.Map({{0x0C1A, 0x1F, Utf16BytesTerminated(u"Ada Lovelace")},
                      // 2010-03-17 23:02:09 UTC as a FILETIME.
                      {0x0039, 0x40, {0x80, 0x4E, 0x3F, 0x9D, 0x2D, 0xC6, 0xCA, 0x01}}}));
    model_.Fill(ListOf({mail}));
    EXPECT_EQ(Cell(0, Model::kFrom, Qt::DisplayRole), QString("Ada Lovelace"));
    const QString time = QString::fromStdU16String(MailSubmitTime(mail));
    EXPECT_FALSE(time.isEmpty());
    EXPECT_EQ(Cell(0, Model::kDateTime, Qt::DisplayRole), time);
    EXPECT_EQ(Cell(0, Model::kFrom, Model::kImageIndexRole), QVariant());
}

TEST_F(MailListModelTest, HeadersNameEveryColumn) {
    const struct {
        int column;
        QString text;
        QString name;
        int image;
    } headers[] = {
        {Model::kImportance, "", "Importance", Model::kImageImportanceHeader},
        {Model::kReadState, "", "Read", Model::kImageReadHeader},
        {Model::kAttachment, "", "Attachment", Model::kImageAttachmentHeader},
        {Model::kFrom, "From", "From", -1},
        {Model::kSubject, "Subject", "Subject", -1},
        {Model::kDateTime, "Date/Time", "Date/Time", -1},
    };
    ASSERT_EQ(model_.columnCount(), static_cast<int>(std::size(headers)));
    for (const auto& h : headers) {
        EXPECT_EQ(model_.headerData(h.column, Qt::Horizontal, Qt::DisplayRole), h.text);
        EXPECT_EQ(model_.headerData(h.column, Qt::Horizontal, Qt::AccessibleTextRole), h.name);
        EXPECT_EQ(model_.headerData(h.column, Qt::Horizontal, Model::kImageIndexRole), h.image);
    }
}

// The rows are the list's records: an empty or missing list shows none, and
// a cell outside the list reads as nothing rather than past its end.
TEST_F(MailListModelTest, FillAndClearFollowTheList) {
    MailEntry* mail = records_.Mail(records_.Map({}));
    model_.Fill(ListOf({mail, mail, mail}));
    EXPECT_EQ(model_.rowCount(), 3);
    EXPECT_EQ(model_.MailAt(3), nullptr);
    EXPECT_EQ(model_.MailAt(-1), nullptr);
    EXPECT_FALSE(model_.data(model_.index(3, Model::kSubject), Qt::DisplayRole).isValid());
    model_.Fill(ListOf({}));
    EXPECT_EQ(model_.rowCount(), 0);
    model_.Fill(ListOf({mail}));
    model_.Clear();
    EXPECT_EQ(model_.rowCount(), 0);
    EXPECT_EQ(model_.MailAt(0), nullptr);
}

}  // namespace
}  // namespace velmora::test
