// Attached messages in windows of their own (they need the browser, so a
// display): the window shows the inner message as the main view shows any
// message, opens its own attached messages the same way, and every such
// window closes when the records it reads are released.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "common/property_ids.h"
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/app/corpus_frame.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/panes/mail_view/body_page_text.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/locked_page.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/message_windows.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

namespace velmora::test {
namespace {

namespace prop = common::prop;

// A message with `subject` and a plain `body`, holding `inner` as an attached message.
MailEntry* MessageHolding(RecordBuilder& records, const std::u16string& subject,
                          const std::u16string& body, MailEntry* inner) {
    const std::u16string innerSubject = inner != nullptr ? MailSubject(inner) : u"";
    std::vector<AttachmentRow*> rows;
    if (inner != nullptr) {
        rows.push_back(
            records.Attachment({{prop::kDisplayName, 0x1F, Utf16BytesTerminated(innerSubject)},
                                {prop::kAttachMethod, 0x03, LongBytes(5)},
                                {prop::kAttachDataBin, 0x000D, LongBytes(0x1234)}}));
        rows.back()->embedded = inner;
    }
    return records.Mail(records.Map({{prop::kSubject, 0x1F, Utf16BytesTerminated(subject)},
                                     {prop::kBody, 0x1F, Utf16BytesTerminated(body)}}),
                        {}, rows);
}

// Opens the only attachment of `view` and returns the window it opened.
CMessageWindow* OpenAttachedMessage(CVelmoraView& view, const MessageWindows& windows) {
    const std::size_t before = windows.Windows().size();
    view.Attachments().OpenItem(0);
    EXPECT_EQ(windows.Windows().size(), before + 1);
    return windows.Windows().empty() ? nullptr : windows.Windows().back();
}

TEST(AttachedMessageWindowTest, ShowsTheInnerMessageOpensItsOwnAndClosesWithTheRecords) {
    RecordBuilder records;
    MailEntry* innermost = MessageHolding(records, u"Signed minutes", u"Innermost text", nullptr);
    MailEntry* inner = MessageHolding(records, u"Fwd: minutes", u"Inner body text", innermost);
    MailEntry* outer = MessageHolding(records, u"Outer", u"Outer text", inner);
    MailEntry* items[] = {outer};
    MailList list{MailEntryList{items, 1, 1}, 0, 0, 0, nullptr};
    CListCtrlMails mailList;
    CVelmoraView view;
    MailPresenter presenter(mailList, view, [] { return false; });
    view.resize(800, 600);
    view.show();
    presenter.Fill(&list);
    ASSERT_TRUE(view.Attachments().isVisible());
    const MessageWindows& windows = presenter.AttachedMessageWindows();

    CMessageWindow* window = OpenAttachedMessage(view, windows);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Fwd: minutes");
    EXPECT_EQ(window->View().Header().Subject().text(), "Fwd: minutes");
    EXPECT_TRUE(window->View().Attachments().isVisible());
    QSignalSpy shown(&window->View().Body(), &BodyDisplay::PageShown);
    ASSERT_TRUE(shown.count() > 0 || shown.wait(15000));
    EXPECT_TRUE(PlainText(window->View().Body()).contains("Inner body text"));

    CMessageWindow* nested = OpenAttachedMessage(window->View(), windows);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested->View().Header().Subject().text(), "Signed minutes");
    EXPECT_FALSE(nested->View().Attachments().isVisible());

    // The folder is enumerated again: every window goes before its records do.
    presenter.Clear();
    EXPECT_TRUE(windows.Windows().empty());
    EXPECT_FALSE(view.Attachments().isVisible());
}

std::vector<CMessageWindow*> OpenMessageWindows() {
    std::vector<CMessageWindow*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<CMessageWindow*>(widget)) windows.push_back(window);
    }
    return windows;
}

// A store's message that holds a message, read by the engine: its window
// shows the inner message, and goes when another folder is enumerated.
TEST(AttachedMessageWindowTest, AStoresAttachedMessageOpensAndClosesWithItsFolder) {
    VELMORA_REQUIRE_CORPUS();
    app::CMainFrame frame([](QWidget*) { return QString(); });
    ASSERT_TRUE(ShowWithCorpusStore(frame, "unicode-submessage.pst"));
    const auto& model = frame.FolderTree().Tree().Stores();
    const QModelIndex top = model.index(0, 0, model.index(0, 0));
    QModelIndex holding;
    QModelIndex other;
    for (int row = 0; row < model.rowCount(top); ++row) {
        const QModelIndex folder = model.index(row, 0, top);
        (folder.data().toString() == "submessage" ? holding : other) = folder;
    }
    ASSERT_TRUE(holding.isValid() && other.isValid());
    frame.FolderTree().Tree().setCurrentIndex(holding);

    CListCtrlAttach& strip = frame.MailView().Attachments();
    ASSERT_TRUE(strip.isVisible());
    ASSERT_EQ(strip.Rows().rowCount(), 1);
    EXPECT_EQ(strip.model()->index(0, 0).data(AttachmentListModel::kMimeTypeRole),
              "message/rfc822");
    const MailEntry* inner = AttachmentMessage(strip.Rows().RowAt(0));
    ASSERT_NE(inner, nullptr);
    strip.OpenItem(0);
    ASSERT_EQ(OpenMessageWindows().size(), 1u);
    QPointer<CMessageWindow> window = OpenMessageWindows()[0];
    EXPECT_FALSE(MailSubject(inner).empty());
    EXPECT_EQ(window->View().Header().Subject().text().toStdU16String(), MailSubject(inner));

    frame.FolderTree().Tree().setCurrentIndex(other);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(OpenMessageWindows().empty());
}

}  // namespace
}  // namespace velmora::test
