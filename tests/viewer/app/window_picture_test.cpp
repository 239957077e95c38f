// The window as a person first sees it: the sample store opened, its folder
// tree filled, the first folder's messages listed, a message with a file and
// an attached message selected, the mail list dragged wide enough for its
// subjects and dates. The pictures are what the README shows: with
// VELMORA_SCREENSHOTS set to a folder, the test waits for the bodies and
// writes window.png there, message-window.png of the attached message
// opened from the strip, and search.png of a query's results in the mail
// list (scripts/screenshots.sh runs it under xvfb-run, with
// QT_QPA_PLATFORM=xcb, for the desktop's own fonts and the browser's display,
// and names in VELMORA_PICTURE_STORE a store path such as a user has).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QSize>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <cstdlib>

#include "tests/support/test_paths.h"
#include "tests/viewer/panes/test_open_context.h"
#include "tools/storewriter/sample_mail_store.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/message_windows.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"
#include "viewer/panes/store_search/search_bar.h"

// The message body's browser shares the window's graphics contexts; this must
// be said before the test environment makes the application.
[[maybe_unused]] static const bool kSharedContexts =
    (QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts), true);

namespace velmora::app {
namespace {

namespace sw = velmora::storewriter;

// The store at VELMORA_PICTURE_STORE, else in `folder`, with messages and
// attachments of the sizes mail has.
std::filesystem::path WriteSampleStore(const std::filesystem::path& folder) {
    const QString named = qEnvironmentVariable("VELMORA_PICTURE_STORE");
    const std::filesystem::path store =
        named.isEmpty() ? folder / "Archive 2024.pst" : std::filesystem::path(named.toStdString());
    sw::StoreBuilder builder({.variant = sw::Variant::kUnicode, .spoolDirectory = folder});
    sw::SyntheticStoreShape shape;
    shape.folders = 6;
    shape.messagesPerFolder = 12;
    shape.attachmentsPerMessage = 2;
    shape.bodySize = 1800;
    shape.attachmentSize = 46 * 1024;
    EXPECT_TRUE(sw::BuildSampleMailStore(builder, shape));
    std::string error;
    EXPECT_TRUE(builder.WriteTo(store, &error)) << error;
    return store;
}

// The mail list pane as wide as its columns: a user drags it so on the first
// day; the pane starts at the width the window gives it.
void WidenMailListForItsColumns(CMainFrame& frame) {
    CListCtrlMails& list = frame.MailList().List();
    const int chrome = frame.MailListPane().width() - list.viewport()->width();
    frame.resizeDocks({&frame.MailListPane()}, {list.header()->length() + chrome}, Qt::Horizontal);
    QApplication::processEvents();
}

// The sample store's fifth message of each folder ends with an attached message.
constexpr int kMessageWithAttachedMessage = 4;

// Waits for the body's page and writes the window's picture as `name` in `folder`.
void SavePicture(QWidget& window, BodyDisplay& body, const QString& folder, const char* name) {
    QSignalSpy shown(&body, &BodyDisplay::PageShown);
    ASSERT_TRUE(shown.wait(20000)) << name;
    QTest::qWait(500);
    // The body is drawn by the browser: the picture comes from the screen.
    const QImage picture = window.screen()->grabWindow(window.winId()).toImage();
    ASSERT_FALSE(picture.isNull()) << name;
    EXPECT_TRUE(picture.save(folder + "/" + name)) << name;
}

// The window at the size of its picture, with the store open.
void ShowWithStore(CMainFrame& frame, const std::filesystem::path& store,
                   QSize size = QSize(1500, 840)) {
    frame.FolderTree().SetOpenContext(test::TestOpenContext(&frame));
    // At the screen's corner: a window that reaches past the screen's edge is pictured cut.
    frame.move(0, 0);
    frame.resize(size);
    frame.show();
    ASSERT_TRUE(frame.FolderTree().OpenStore(QString::fromStdString(store.string())));
    QApplication::processEvents();
}

TEST(WindowPictureTest, SampleStoreShowsItsTreeListMessageAndAttachments) {
    test::ScratchDir scratch;
    const std::filesystem::path store = WriteSampleStore(scratch.Path());
    CMainFrame frame([](QWidget*) { return QString(); });
    ASSERT_NO_FATAL_FAILURE(ShowWithStore(frame, store));

    const auto& stores = frame.FolderTree().Tree().Stores();
    ASSERT_EQ(stores.rowCount(), 1);
    const QModelIndex root = stores.index(0, 0);
    EXPECT_EQ(stores.data(root).toString(), QString::fromStdString(store.string()));
    ASSERT_EQ(stores.rowCount(root), 1);
    const QModelIndex top = stores.index(0, 0, root);
    QStringList folders;
    for (int i = 0; i < stores.rowCount(top); ++i)
        folders << stores.index(i, 0, top).data().toString();
    folders.sort();
    QStringList expected;
    for (std::uint32_t i = 0; i < 6; ++i)
        expected << QString::fromStdString(sw::SampleFolderName(i));
    expected.sort();
    EXPECT_EQ(folders, expected);

    // The first folder's messages, one with two attachments selected.
    const QModelIndex first = stores.index(0, 0, top);
    frame.FolderTree().Tree().setCurrentIndex(first);
    CListCtrlMails& list = frame.MailList().List();
    EXPECT_EQ(list.model()->rowCount(), 12);
    list.SelectRow(kMessageWithAttachedMessage);
    ASSERT_NE(list.SelectedMail(), nullptr);
    EXPECT_FALSE(frame.MailView().Header().Subject().text().isEmpty());
    CListCtrlAttach& strip = frame.MailView().Attachments();
    EXPECT_FALSE(strip.isHidden());
    ASSERT_EQ(strip.Rows().rowCount(), 2);

    WidenMailListForItsColumns(frame);
    // Subject and Date/Time in full, and room left for the message.
    EXPECT_LE(list.header()->length(), list.viewport()->width());
    EXPECT_GE(frame.MailView().width(), 480);

    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (folder.isEmpty()) {
        const QImage picture = frame.grab().toImage();
        EXPECT_EQ(picture.size(), frame.size());
        return;
    }
    SavePicture(frame, frame.MailView().Body(), folder, "window.png");
    strip.OpenItem(1);
    CMessageWindow* attached = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* message = qobject_cast<CMessageWindow*>(window)) attached = message;
    }
    ASSERT_NE(attached, nullptr);
    attached->resize(900, 560);
    SavePicture(*attached, attached->View().Body(), folder, "message-window.png");
}

// The Export Folder dialog over the window, as the folder tree's context menu
// opens it for Inbox: the two formats, the subfolders box. With
// VELMORA_SCREENSHOTS set, export-folder.png is the window with the dialog.
TEST(WindowPictureTest, ExportFolderAsksForTheFormatAndTheSubfolders) {
    test::ScratchDir scratch;
    const std::filesystem::path store = WriteSampleStore(scratch.Path());
    CMainFrame frame([](QWidget*) { return QString(); });
    ASSERT_NO_FATAL_FAILURE(ShowWithStore(frame, store, QSize(1100, 560)));
    panes::CClassView& tree = frame.FolderTree();
    const QModelIndexList inbox =
        tree.Tree().model()->match(tree.Tree().model()->index(0, 0), Qt::DisplayRole, "Inbox", 1,
                                   Qt::MatchRecursive | Qt::MatchExactly);
    ASSERT_EQ(inbox.size(), 1);
    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    QSignalSpy shown(&frame.MailView().Body(), &BodyDisplay::PageShown);
    tree.Tree().setCurrentIndex(inbox[0]);
    ASSERT_TRUE(tree.Tree().actions().contains(tree.ExportFolderAction()));
    // The picture shows the first message's body behind the dialog.
    if (!folder.isEmpty()) {
        ASSERT_TRUE(shown.wait(20000));
    }
    QStringList formats;
    QString question;
    bool subfolders = false;
    QTimer::singleShot(0, [&] {
        QDialog* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        for (int wait = 0; dialog == nullptr && wait < 500; ++wait) {
            QTest::qWait(10);
            dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        }
        if (dialog == nullptr) {
            ADD_FAILURE() << "the dialog did not open";
            return;
        }
        EXPECT_EQ(dialog->windowTitle(), QString("Export Folder"));
        const auto* format = dialog->findChild<QComboBox*>();
        for (int i = 0; format != nullptr && i < format->count(); ++i)
            formats << format->itemText(i);
        for (const QLabel* label : dialog->findChildren<QLabel*>()) question += label->text();
        const auto* box = dialog->findChild<QCheckBox*>();
        subfolders = box != nullptr && box->isChecked();
        if (!folder.isEmpty()) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
            QTest::qWait(1000);
            // The dialog is a window of its own: the picture is the screen's.
            const QRect area = frame.frameGeometry().united(dialog->frameGeometry());
            const QImage picture =
                frame.screen()
                    ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                    .toImage();
            EXPECT_TRUE(picture.save(folder + "/export-folder.png"));
        }
        dialog->reject();
    });
    tree.ExportFolderAction()->trigger();
    EXPECT_EQ(formats, (QStringList{"One mbox file per folder", "One .eml file per message"}));
    EXPECT_EQ(question, QString("Export \"Inbox\" as:"));
    EXPECT_TRUE(subfolders);
}

// A query in the search field and the messages it found in every folder of
// the store, one of them shown: search.png, the picture of search results.
TEST(WindowPictureTest, SearchResultsListTheirFoldersAndShowTheSelectedMessage) {
    test::ScratchDir scratch;
    const std::filesystem::path store = WriteSampleStore(scratch.Path());
    CMainFrame frame([](QWidget*) { return QString(); });
    ASSERT_NO_FATAL_FAILURE(ShowWithStore(frame, store));
    const auto& stores = frame.FolderTree().Tree().Stores();
    const QModelIndex top = stores.index(0, 0, stores.index(0, 0));
    frame.FolderTree().Tree().setCurrentIndex(stores.index(0, 0, top));

    QLineEdit& field = frame.SearchBar().Field();
    field.setFocus();
    QTest::keyClicks(&field, "budget from:chiara has:attachment");
    QTest::keyClick(&field, Qt::Key_Return);
    const QAbstractItemModel& rows = *frame.MailList().List().model();
    ASSERT_GE(rows.rowCount(), 3);
    QSet<QString> folders;
    for (int row = 0; row < rows.rowCount(); ++row) {
        EXPECT_TRUE(rows.index(row, MailListModel::kFrom).data().toString().contains("Chiara"))
            << row;
        folders.insert(rows.index(row, MailListModel::kFolder).data().toString());
    }
    EXPECT_GE(folders.size(), 2);
    frame.MailList().List().SelectRow(0);
    EXPECT_EQ(frame.MailView().Header().Subject().text(),
              rows.index(0, MailListModel::kSubject).data().toString());
    // As wide as the screen, the tree no wider than its folders: room for the
    // Folder column and the message beside it.
    frame.resize(1600, 840);
    frame.resizeDocks({&frame.FolderTreePane()}, {200}, Qt::Horizontal);
    QApplication::processEvents();
    WidenMailListForItsColumns(frame);
    EXPECT_GE(frame.MailView().width(), 480);

    const QString folder = qEnvironmentVariable("VELMORA_SCREENSHOTS");
    if (folder.isEmpty()) return;
    SavePicture(frame, frame.MailView().Body(), folder, "search.png");
}

}  // namespace
}  // namespace velmora::app
