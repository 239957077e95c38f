// The properties view as a user meets it: a row per property of the message,
// its recipients and its attachments; the filter, sorting by a column, Ctrl+C
// on selected rows, a cut value opened whole, and the View menu, mail list
// and message view offering it for the message at hand.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/message_properties/message_properties_dialog.h"
#include "viewer/panes/message_properties/property_table_model.h"
#include "viewer/panes/message_properties/property_value_dialog.h"

namespace velmora::test {
namespace {

using Model = PropertyTableModel;

// Subject, flags, a body long enough to be cut (with a line break), one
// recipient of two properties and one attachment of two.
class PropertiesViewTest : public ::testing::Test {
  protected:
    PropertiesViewTest() {
        body_ = u"first line\r\n" + std::u16string(400, u'b');
        mail_ =
            records_.Mail(records_.Map({{0x0037, 0x001F, Utf16BytesTerminated(u"Quarterly report")},
                                        {0x0E07, 0x0003, LongBytes(1)},
                                        {0x1000, 0x001F, Utf16BytesTerminated(body_)}}),
                          {records_.Recipient({{0x3001, 0x001F, Utf16BytesTerminated(u"Ann")},
                                               {0x0C15, 0x0003, LongBytes(1)}})},
                          {records_.Attachment({{0x3704, 0x001F, Utf16BytesTerminated(u"a.txt")},
                                                {0x0E20, 0x0003, LongBytes(12)}})});
    }

    static QStringList Column(const QAbstractItemModel& model, int column) {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells << model.index(row, column).data().toString();
        return cells;
    }

    RecordBuilder records_;
    std::u16string body_;
    const MailEntry* mail_ = nullptr;
};

TEST_F(PropertiesViewTest, ListsEveryPropertyAndFiltersByAnyCell) {
    CMessagePropertiesDlg dialog(mail_);
    EXPECT_EQ(dialog.windowTitle(), "Message Properties - Quarterly report");
    const QSortFilterProxyModel& shown = dialog.Shown();
    EXPECT_EQ(Column(shown, Model::kObject),
              QStringList({"Message", "Message", "Message", "Recipient 1", "Recipient 1",
                           "Attachment 1", "Attachment 1"}));
    EXPECT_EQ(Column(shown, Model::kName),
              QStringList({"PR_SUBJECT", "PR_MESSAGE_FLAGS", "PR_BODY", "PR_RECIPIENT_TYPE",
                           "PR_DISPLAY_NAME", "PR_ATTACH_SIZE", "PR_ATTACH_FILENAME"}));
    EXPECT_EQ(shown.index(0, Model::kTag).data().toString(), "0x0037001F");
    EXPECT_EQ(shown.index(0, Model::kType).data().toString(), "PT_UNICODE");
    EXPECT_EQ(shown.index(0, Model::kValue).data().toString(), "Quarterly report");
    const QLabel* count = dialog.findChild<QLabel*>("PropertyCount");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text(), "7 of 7 properties");

    const struct {
        const char* filter;
        QStringList names;
    } cases[] = {
        {"pr_subject", {"PR_SUBJECT"}},                             // a name, in any case
        {"recipient 1", {"PR_RECIPIENT_TYPE", "PR_DISPLAY_NAME"}},  // the object column
        {"0x0E20", {"PR_ATTACH_SIZE"}},                             // a tag
        {"a.txt", {"PR_ATTACH_FILENAME"}},                          // a value
        {"no such text", {}},
        {"", Column(shown, Model::kName)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        dialog.Filter().setText(c.filter);
        EXPECT_EQ(Column(shown, Model::kName), c.names);
        EXPECT_EQ(count->text(), QString("%1 of 7 properties").arg(c.names.size()));
    }
}

TEST_F(PropertiesViewTest, SortsByTheClickedColumnNumbersAsNumbers) {
    CMessagePropertiesDlg dialog(mail_);
    QTableView& table = dialog.Table();
    table.sortByColumn(Model::kSize, Qt::DescendingOrder);
    EXPECT_EQ(Column(dialog.Shown(), Model::kSize),
              QStringList({"826", "34", "12", "8", "4", "4", "4"}));
    table.sortByColumn(Model::kTag, Qt::AscendingOrder);
    EXPECT_EQ(Column(dialog.Shown(), Model::kTag),
              QStringList({"0x0037001F", "0x0C150003", "0x0E070003", "0x0E200003", "0x1000001F",
                           "0x3001001F", "0x3704001F"}));
    table.sortByColumn(Model::kObject, Qt::DescendingOrder);
    EXPECT_EQ(Column(dialog.Shown(), Model::kObject).first(), "Attachment 1");
    EXPECT_EQ(Column(dialog.Shown(), Model::kObject).last(), "Message");
}

TEST_F(PropertiesViewTest, CtrlCCopiesTheSelectedRowsAsTabSeparatedLines) {
    CMessagePropertiesDlg dialog(mail_);
    dialog.show();
    QTableView& table = dialog.Table();
    table.sortByColumn(Model::kName, Qt::AscendingOrder);
    // PR_BODY, then PR_SUBJECT further down: copied in the order shown.
    const QModelIndexList body =
        dialog.Shown().match(dialog.Shown().index(0, Model::kName), Qt::DisplayRole, "PR_BODY");
    const QModelIndexList subject =
        dialog.Shown().match(dialog.Shown().index(0, Model::kName), Qt::DisplayRole, "PR_SUBJECT");
    ASSERT_EQ(body.size(), 1);
    ASSERT_EQ(subject.size(), 1);
    table.selectionModel()->select(subject[0],
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table.selectionModel()->select(body[0],
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QGuiApplication::clipboard()->clear();
    table.setFocus();
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
    const QString bodyShown =
        QString::fromStdU16String(u"first line  " + body_.substr(12, 244)) + QChar(0x2026);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "Message\t0x1000001F\tPR_BODY\tPT_UNICODE\t826\t" + bodyShown +
                  "\nMessage\t0x0037001F\tPR_SUBJECT\tPT_UNICODE\t34\tQuarterly report\n");
}

TEST_F(PropertiesViewTest, DoubleClickOnACutValueShowsItWhole) {
    CMessagePropertiesDlg dialog(mail_);
    dialog.show();
    QTableView& table = dialog.Table();
    const QModelIndex body = dialog.Shown().index(2, Model::kValue);
    ASSERT_EQ(dialog.Shown().index(2, Model::kName).data().toString(), "PR_BODY");
    EXPECT_TRUE(body.data().toString().endsWith(QChar(0x2026)));
    table.setCurrentIndex(body);
    emit table.doubleClicked(body);
    auto* value = dialog.findChild<CPropertyValueDlg*>();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->ValueText(), QString::fromStdU16String(body_));
    EXPECT_EQ(value->Text().toPlainText(), QString::fromStdU16String(body_).replace("\r\n", "\n"));
    EXPECT_EQ(value->windowTitle(), "PR_BODY (0x1000001F)");
}

// Where the window offers the view: the View menu and the mail list's menu
// for the selected message (disabled with none), the message view's own menu.
TEST_F(PropertiesViewTest, ViewMenuMailListAndMessageViewOpenIt) {
    app::CMainFrame frame([](QWidget*) { return QString(); });
    QAction& action = frame.MessagePropertiesAction();
    QMenu* view = frame.menuBar()->findChild<QMenu*>("ViewMenu");
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->actions().contains(&action));
    EXPECT_FALSE(action.isEnabled());

    MailEntry* items[] = {const_cast<MailEntry*>(mail_)};
    MailList mails{};
    mails.entries = MailEntryList{items, 1, 1};
    CListCtrlMails& list = frame.MailList().List();
    list.Fill(&mails);
    list.SelectRow(0);
    EXPECT_TRUE(action.isEnabled());
    action.trigger();
    auto* dialog = frame.findChild<CMessagePropertiesDlg*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog->Rows().rowCount(), 7);
    delete dialog;

    emit list.customContextMenuRequested(QPoint(5, 5));
    auto* listMenu = list.findChild<QMenu*>("MailListPopup");
    ASSERT_NE(listMenu, nullptr);
    EXPECT_TRUE(listMenu->actions().contains(&action));
    listMenu->close();

    CVelmoraView& mailView = frame.MailView();
    mailView.ShowMail(mail_);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
    QCoreApplication::sendEvent(&mailView, &rightClick);
    auto* popupEntry = mailView.findChild<QAction*>("MessagePropertiesPopup");
    ASSERT_NE(popupEntry, nullptr);
    popupEntry->trigger();
    EXPECT_NE(mailView.findChild<CMessagePropertiesDlg*>(), nullptr);

    list.Clear();
    EXPECT_FALSE(action.isEnabled());
}

}  // namespace
}  // namespace velmora::test
