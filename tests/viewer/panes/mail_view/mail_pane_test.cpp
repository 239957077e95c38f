// The mail list and the header block as the user sees them, without a body:
// the list's columns and pictures, its fixed order and single selection; the
// header's texts for built and real messages; the view's layout at any size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "common/property_ids.h"
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_list/mail_images.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/page_request_filter.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/viewer_fonts.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

namespace velmora::test {
namespace {

namespace prop = common::prop;
using Model = MailListModel;

PropInput Text(std::uint16_t id, const std::u16string& text) {
    return {id, 0x1F, Utf16BytesTerminated(text)};
}

class MailRecords {
  public:
    MailList* ListOf(std::vector<MailEntry*> mails) {
        items_ = std::move(mails);
        const auto count = static_cast<std::uint32_t>(items_.size());
        list_ = MailList{MailEntryList{items_.data(), count, count}, 0, 0, 0, nullptr};
        return &list_;
    }
    RecordBuilder builder;

  private:
    std::vector<MailEntry*> items_;
    MailList list_{};
};

// Where a click lands on `row`: on its sender.
QPoint RowCentre(const CListCtrlMails& list, int row) {
    return list.visualRect(list.model()->index(row, Model::kFrom)).center();
}

qint64 IconKey(const QVariant& decoration) {
    return decoration.value<QIcon>().cacheKey();
}

TEST(MailListControlTest, ShowsSixFixedColumnsWithPicturesAndKeepsTheStoreOrder) {
    MailRecords records;
    MailEntry* first =
        records.builder.Mail(records.builder.Map({{prop::kImportance, 0x03, LongBytes(2)},
                                                  {prop::kMessageFlags, 0x03, LongBytes(0x11)},
                                                  Text(prop::kSubject, u"Zebra")}));
    MailEntry* second = records.builder.Mail(records.builder.Map({Text(prop::kSubject, u"Apple")}));
    CListCtrlMails list;
    list.resize(900, 300);
    list.show();
    list.Fill(records.ListOf({first, second}));
    ASSERT_EQ(list.model()->rowCount(), 2);

    const int widths[] = {30, 30, 30, 200, 200, 200};
    for (int column = 0; column < 6; ++column) EXPECT_EQ(list.columnWidth(column), widths[column]);
    // High importance, read, with attachments: images 6, 0 and 2; the second row has no clip.
    const int images[] = {Model::kImageHighImportance, Model::kImageRead,
                          Model::kImageHasAttachments};
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(IconKey(list.model()->index(0, column).data(Qt::DecorationRole)),
                  MailImage(images[column]).cacheKey());
        EXPECT_FALSE(list.model()->headerData(column, Qt::Horizontal, Qt::DecorationRole).isNull());
    }
    EXPECT_TRUE(list.model()->index(1, Model::kAttachment).data(Qt::DecorationRole).isNull());

    // A click on "Subject" leaves "Zebra" above "Apple".
    QHeaderView* header = list.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(Model::kSubject) + 20, 5));
    EXPECT_EQ(list.model()->index(0, Model::kSubject).data().toString(), "Zebra");

    QSignalSpy selected(&list, &CListCtrlMails::MailSelected);
    list.SelectRow(1);
    list.SelectRow(0);
    EXPECT_EQ(list.selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list.SelectedMail(), first);
    list.Clear();
    EXPECT_EQ(list.SelectedMail(), nullptr);
    ASSERT_GE(selected.count(), 3);
    EXPECT_EQ(selected.last().at(0).value<const MailEntry*>(), nullptr);
}

// Only a row that becomes selected changes the view: Ctrl+click on the
// selected row, or Ctrl+Space, takes the selection away and leaves the message.
TEST(MailListControlTest, ARowThatStopsBeingSelectedLeavesTheMessageShown) {
    MailRecords records;
    MailEntry* first = records.builder.Mail(records.builder.Map({Text(prop::kSubject, u"First")}));
    MailEntry* second =
        records.builder.Mail(records.builder.Map({Text(prop::kSubject, u"Second")}));
    CListCtrlMails list;
    CVelmoraView view;
    // The engine is busy throughout: no body is rendered, the header shows at once.
    MailPresenter presenter(list, view, [] { return true; });
    list.resize(900, 300);
    list.show();
    presenter.Fill(records.ListOf({first, second}));
    const auto subject = [&] { return view.Header().Subject().text(); };
    ASSERT_EQ(subject(), "First");

    const struct {
        const char* step;
        std::function<void()> act;
        QString shown;
        int selectedRows;
    } steps[] = {
        {"Ctrl+click on the selected row",
         [&] {
             QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                               RowCentre(list, 0));
         },
         "First", 0},
        {"click on the other row",
         [&] { QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowCentre(list, 1)); },
         "Second", 1},
        {"Ctrl+Space on it", [&] { QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier); },
         "Second", 0},
        {"Ctrl+click selects it again",
         [&] {
             QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier,
                               RowCentre(list, 1));
         },
         "Second", 1},
    };
    for (const auto& step : steps) {
        step.act();
        EXPECT_EQ(subject(), step.shown) << step.step;
        EXPECT_EQ(list.selectionModel()->selectedRows().size(), step.selectedRows) << step.step;
    }
    presenter.Clear();
    EXPECT_EQ(subject(), "");
}

// A click or a single key press renders the message without waiting; the
// repeats of a held key wait until the selection rests. The engine stays busy,
// so each try to render only counts and comes back a settle delay later.
TEST(MailListControlTest, OnlyAHeldKeyWaitsBeforeTheBodyIsRendered) {
    MailRecords records;
    std::vector<MailEntry*> mails;
    for (const std::u16string subject : {u"One", u"Two", u"Three", u"Four"})
        mails.push_back(records.builder.Mail(records.builder.Map({Text(prop::kSubject, subject)})));
    CListCtrlMails list;
    CVelmoraView view;
    int renderTries = 0;
    MailPresenter presenter(list, view, [&] {
        ++renderTries;
        return true;
    });
    list.resize(900, 300);
    list.show();
    list.setFocus();
    presenter.Fill(records.ListOf(mails));
    const auto keyRepeat = [&] {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&list, &repeat);
    };

    const struct {
        const char* step;
        std::function<void()> act;
        QString shown;
        bool waits;
    } steps[] = {
        {"click",
         [&] { QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowCentre(list, 1)); }, "Two",
         false},
        {"key press", [&] { QTest::keyClick(&list, Qt::Key_Down); }, "Three", false},
        {"key repeat", keyRepeat, "Four", true},
    };
    for (const auto& step : steps) {
        QElapsedTimer sinceInput;
        sinceInput.start();
        step.act();
        renderTries = 0;
        for (int turn = 0; turn < 3; ++turn) QCoreApplication::processEvents();
        ASSERT_EQ(view.Header().Subject().text(), step.shown) << step.step;
        // A machine too busy to get here within the delay proves nothing either way.
        if (sinceInput.elapsed() < MailPresenter::kSettleMs) {
            EXPECT_EQ(renderTries, step.waits ? 0 : 1) << step.step;
        }
        for (int waited = 0; renderTries == 0 && waited < 50; ++waited)
            QTest::qWait(MailPresenter::kSettleMs);
        EXPECT_GT(renderTries, 0) << step.step << ": never rendered";
    }
}

struct HeaderCase {
    const char* label;
    std::vector<PropInput> props;
    std::vector<std::vector<PropInput>> recipients;
    QString subject;
    QString sender;
    QString to;
};

TEST(MailHeaderTest, FieldsShowTheMessagesSubjectSenderAndToRecipients) {
    const HeaderCase cases[] = {
        {"a www. after the at sign is dropped; the subject keeps its blanks",
         {Text(prop::kSubject, u"  Minutes "), Text(prop::kSenderName, u"Ann"),
          Text(prop::kSenderSmtpAddress, u"ann@www.example.org")},
         {},
         "  Minutes ",
         "Ann <ann@example.org>",
         ""},
        {"an address without an at sign is not shown",
         {Text(prop::kSenderName, u"Bob"), Text(prop::kSenderSmtpAddress, u"/O=LOCAL/CN=BOB")},
         {},
         "",
         "Bob",
         ""},
        {"only To recipients, joined, each with its address",
         {},
         {{Text(prop::kDisplayName, u"Cy"),
           Text(prop::kSmtpAddress, u"cy@example.org"),
           {prop::kRecipientType, 0x03, LongBytes(1)}},
          {Text(prop::kDisplayName, u"Di"),
           Text(prop::kSmtpAddress, u"di@example.org"),
           {prop::kRecipientType, 0x03, LongBytes(2)}},
          {Text(prop::kDisplayName, u"Ed"),
           Text(prop::kSmtpAddress, u"ed@example.org"),
           {prop::kRecipientType, 0x03, LongBytes(1)}}},
         "",
         "",
         "Cy <cy@example.org>; Ed <ed@example.org>"},
    };
    CWndMailHeader header;
    RecordBuilder records;
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<RecipientRow*> rows;
        for (const auto& recipient : c.recipients) rows.push_back(records.Recipient(recipient));
        header.ShowMail(records.Mail(records.Map(c.props), rows));
        EXPECT_EQ(header.Subject().text(), c.subject);
        EXPECT_EQ(header.Sender().text(), c.sender);
        EXPECT_EQ(header.To().text(), c.to);
        EXPECT_TRUE(header.Subject().isReadOnly() && header.Sender().isReadOnly());
    }
    header.Clear();
    for (QLineEdit* field : {&header.Subject(), &header.Date(), &header.Sender(), &header.To()})
        EXPECT_TRUE(field->text().isEmpty());
}

TEST(MailHeaderTest, ARealMessageShowsItsSenderAndToRecipientsButNotItsCc) {
    VELMORA_REQUIRE_CORPUS();
    panes::CClassView tree;
    tree.SetOpenContext(TestOpenContext(&tree));
    const MailList* listed = nullptr;
    QObject::connect(&tree, &panes::CClassView::FolderMailsListed, [&](const MailList* mails) {
        if (mails != nullptr && mails->entries.count > 0) listed = mails;
    });
    ASSERT_TRUE(tree.OpenStore(QString::fromStdString(CorpusFile("unicode-to-cc.pst").string())));
    const auto& model = tree.Tree().Stores();
    const QModelIndex top = model.index(0, 0, model.index(0, 0));
    for (int row = 0; row < model.rowCount(top) && listed == nullptr; ++row)
        tree.Tree().setCurrentIndex(model.index(row, 0, top));
    ASSERT_NE(listed, nullptr);

    CWndMailHeader header;
    header.ShowMail(listed->entries.items[0]);
    EXPECT_EQ(header.Subject().text(), "Multiple recipients");
    // This store keeps the sender's address only as an SMTP-typed sender email.
    EXPECT_EQ(header.Sender().text(), "John Doe <pst-test-1@aranetic.com>");
    EXPECT_EQ(header.To().text(),
              "John Doe <pst-test-1@aranetic.com>; Jane Doe <pst-test-2@aranetic.com>");
    EXPECT_TRUE(header.Date().text().contains("2010")) << header.Date().text().toStdString();
}

struct LayoutCase {
    QSize size;
    bool attachments;
    int bodyTop;
};

TEST(MailViewLayoutTest, HeaderStripAndBodyFollowTheViewsSize) {
    const LayoutCase cases[] = {
        {{800, 600}, false, 70},
        {{800, 600}, true, 107},
        {{1300, 500}, false, 70},
        {{1300, 500}, true, 107},
    };
    CVelmoraView view;
    view.show();
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height()
                                        << (c.attachments ? " with" : " without"));
        view.resize(c.size);
        view.SetAttachmentsShown(c.attachments);
        const int w = c.size.width();
        const int h = c.size.height();
        EXPECT_EQ(view.Header().geometry(), QRect(5, 5, w - 10, 64));
        const int headerWidth = w - 10;
        EXPECT_EQ(view.Header().Date().geometry(), QRect(headerWidth - 221, 1, 220, 20));
        EXPECT_EQ(view.Header().Subject().geometry(), QRect(92, 1, headerWidth - 314, 20));
        EXPECT_EQ(view.Header().To().geometry(), QRect(92, 43, headerWidth - 93, 20));
        EXPECT_EQ(view.Attachments().isVisible(), c.attachments);
        EXPECT_EQ(view.Body().geometry(), QRect(5, c.bodyTop, w - 10, h - c.bodyTop - 5));
    }
    // No message was shown: the browser was never started.
    EXPECT_EQ(view.Body().View(), nullptr);
}

// The labels' font is 13 pixels high from the top of its cell to the bottom,
// as the desktop framework measures a font's height; each label's text fits
// its box and is drawn on white, whatever colour the look gives windows.
TEST(MailViewLayoutTest, LabelsFitTheirBoxesAndStandOnWhite) {
    const QFontMetrics label(ViewerLabelFont());
    EXPECT_NEAR(label.ascent() + label.descent(), 13, 1);

    const QPalette before = QApplication::palette();
    QPalette blue = before;
    blue.setColor(QPalette::Window, QColor(191, 219, 255));
    QApplication::setPalette(blue);
    CVelmoraView view;
    view.resize(800, 600);
    view.SetAttachmentsShown(true);
    view.show();
    const std::pair<const char*, const char*> labels[] = {{"SubjectLabel", "Subject:"},
                                                          {"FromLabel", "From:"},
                                                          {"ToLabel", "To:"},
                                                          {"AttachmentsLabel", "Attachments: "}};
    for (const auto& [name, text] : labels) {
        SCOPED_TRACE(name);
        auto* box = view.findChild<QLabel*>(name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), text);
        const QFontMetrics metrics(box->font());
        EXPECT_LE(metrics.horizontalAdvance(box->text()), box->contentsRect().width());
        EXPECT_LE(metrics.height(), box->contentsRect().height());
        const QImage drawn = box->grab().toImage();
        EXPECT_EQ(drawn.pixelColor(drawn.width() - 1, 0), QColor(Qt::white));
    }
    // So is the view's surface round the header and beside the strip.
    const QImage surface = view.grab().toImage();
    EXPECT_EQ(surface.pixelColor(2, 2), QColor(Qt::white));
    EXPECT_EQ(surface.pixelColor(10, 100), QColor(Qt::white));
    QApplication::setPalette(before);
}

TEST(MailViewLayoutTest, RightClickOnTheViewOrTheHeadersBackgroundShowsTheDisabledEditPopup) {
    CVelmoraView view;
    view.resize(800, 600);
    view.show();
    QWidget* const targets[] = {&view, &view.Header()};
    for (QWidget* target : targets) {
        SCOPED_TRACE(target->objectName().toStdString());
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(0, 0),
                                target->mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(target, &event);
        auto* menu = view.findChild<QMenu*>("EditPopup");
        ASSERT_NE(menu, nullptr);
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            texts << action->text();
            EXPECT_FALSE(action->isEnabled());
        }
        EXPECT_EQ(texts, QStringList({"Cu&t", "&Copy", "&Paste"}));
        EXPECT_EQ(menu->actions()[1]->shortcut(), QKeySequence(QKeySequence::Copy));
        menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

struct RequestCase {
    const char* url;
    bool allowed;
};

// The body view's last line of defence when the page itself is hostile.
TEST(PageRequestFilterTest, AllowsOnlyThePageFileItsPartsAndInlineImages) {
    const RequestCase cases[] = {
        {"file:///run/velmora/MSG_1.mht", true},
        {"file:///run/velmora/MSG_1.mht#part", true},
        {"file:///run/velmora/MSG_0.mht", false},
        {"file:///etc/passwd", false},
        {"file:///run/velmora/MSG_1.mht/../secret", false},
        {"cid:image001.png@01D0", true},
        {"data:image/png;base64,iVBORw0KGgo=", true},
        {"http://127.0.0.1/pixel.png", false},
        {"https://example.org/track?id=1", false},
        {"ftp://example.org/x", false},
        {"about:blank", false},
    };
    PageRequestFilter filter;
    filter.AllowPage(QUrl::fromLocalFile("/run/velmora/MSG_1.mht"));
    for (const RequestCase& c : cases) EXPECT_EQ(filter.Allows(QUrl(c.url)), c.allowed) << c.url;
    filter.AllowPage({});
    EXPECT_FALSE(filter.Allows(QUrl::fromLocalFile("/run/velmora/MSG_1.mht")));
}

}  // namespace
}  // namespace velmora::test
