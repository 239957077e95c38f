// The search field as a reader uses it: type a query, press Enter, read the
// rows and their folders, select one, press Esc and find the folder again;
// a query that cannot be read says where, and nothing else changes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/panes/test_open_context.h"
#include "tools/storewriter/store_builder.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"
#include "viewer/panes/store_search/search_bar.h"

namespace velmora::test {
namespace {

namespace sw = velmora::storewriter;

// 100 ns ticks since 1601 of 1 January of `year`, midnight UTC.
std::uint64_t NewYear(int year) {
    const auto days = std::chrono::sys_days(std::chrono::year(year) / 1 / 1);
    return static_cast<std::uint64_t>(days.time_since_epoch().count() * 86400LL +
                                      11'644'473'600LL) *
           10'000'000ULL;
}

void AddMessage(sw::StoreBuilder& builder, std::uint32_t folder, const char* subject,
                const char* sender, const char* body, int year) {
    sw::MessageSpec message;
    message.subject = subject;
    message.senderName = sender;
    message.senderEmail = std::string(sender) + "@example.com";
    message.body = body;
    message.submitTime = NewYear(year);
    builder.AddMessage(folder, message);
}

// Inbox: three messages, two about the budget; Projects/Archive: one more.
void WriteStore(const std::filesystem::path& store, const std::filesystem::path& spool) {
    sw::StoreBuilder builder({.variant = sw::Variant::kUnicode, .spoolDirectory = spool});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    const std::uint32_t projects = builder.AddFolder(builder.TopFolder(), "Projects");
    const std::uint32_t archive = builder.AddFolder(projects, "Archive");
    AddMessage(builder, inbox, "Budget for March", "anna", "the budget is ready", 2009);
    AddMessage(builder, inbox, "Lunch", "bob", "noon at the cafe", 2010);
    AddMessage(builder, inbox, "Old figures", "anna", "see the budget of last year", 2008);
    AddMessage(builder, archive, "Budget archive", "carl", "budget from the archive", 2011);
    std::string error;
    ASSERT_TRUE(builder.WriteTo(store, &error)) << error;
}

QString NoFile(QWidget*) {
    return {};
}

class StoreSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store_ = folder_ / "mail.pst";
        WriteStore(store_, folder_.Path());
        frame_.FolderTree().SetOpenContext(TestOpenContext(&frame_));
        frame_.show();
        ASSERT_TRUE(frame_.FolderTree().OpenStore(QString::fromStdString(store_.string())));
        connect();
    }

    void connect() {
        QObject::connect(frame_.statusBar(), &QStatusBar::messageChanged, &frame_,
                         [this](const QString& text) { statusTexts_ << text; });
    }

    // Selects the folder item with this name, anywhere in the tree.
    void SelectFolder(const QString& name) {
        QTreeView& tree = frame_.FolderTree().Tree();
        const QModelIndexList found =
            tree.model()->match(tree.model()->index(0, 0), Qt::DisplayRole, name, 1,
                                Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        tree.setCurrentIndex(found.first());
    }

    void TypeAndEnter(const QString& query) {
        QLineEdit& field = frame_.SearchBar().Field();
        field.setFocus();
        field.selectAll();
        QTest::keyClicks(&field, query);
        QTest::keyClick(&field, Qt::Key_Return);
    }

    QStringList Column(int column) {
        const QAbstractItemModel* model = frame_.MailList().List().model();
        QStringList texts;
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }

    QString HeaderText(int column) {
        return frame_.MailList().List().model()->headerData(column, Qt::Horizontal).toString();
    }

    ScratchDir folder_;
    std::filesystem::path store_;
    app::CMainFrame frame_{NoFile};
    QStringList statusTexts_;
};

constexpr int kSubject = MailListModel::kSubject;
constexpr int kFolder = MailListModel::kFolder;

TEST_F(StoreSearchTest, EnterFindsTheMessagesSelectingOneShowsItAndEscGoesBackToTheFolder) {
    SelectFolder("Inbox");
    const QStringList inbox = {"Budget for March", "Lunch", "Old figures"};
    ASSERT_EQ(Column(kSubject), inbox);
    EXPECT_EQ(frame_.MailList().List().model()->columnCount(), kFolder);

    // The first search indexes the store, saying how far it got.
    TypeAndEnter("budget");
    EXPECT_EQ(Column(kSubject), (QStringList{"Budget archive", "Budget for March", "Old figures"}));
    EXPECT_EQ(HeaderText(kFolder), "Folder");
    const QString top = Column(kFolder).value(1).section('/', 0, -2);
    EXPECT_EQ(Column(kFolder),
              (QStringList{top + "/Projects/Archive", top + "/Inbox", top + "/Inbox"}));
    EXPECT_TRUE(statusTexts_.contains("Indexing\u2026 4 of 4 messages"))
        << statusTexts_.join('|').toStdString();
    EXPECT_EQ(frame_.statusBar()->currentMessage(), "3 message(s) found");

    // A result shows as a folder's message does, from another folder too.
    frame_.MailList().List().SelectRow(0);
    EXPECT_EQ(frame_.MailView().Header().Subject().text(), "Budget archive");
    frame_.MailList().List().SelectRow(2);
    EXPECT_EQ(frame_.MailView().Header().Subject().text(), "Old figures");

    // The language reaches the window whole; the index is built already.
    TypeAndEnter("from:anna -march");
    EXPECT_EQ(Column(kSubject), QStringList{"Old figures"});
    TypeAndEnter("nothing-like-this");
    EXPECT_EQ(Column(kSubject), QStringList{});
    EXPECT_EQ(frame_.statusBar()->currentMessage(), "0 message(s) found");

    QTest::keyClick(&frame_.SearchBar().Field(), Qt::Key_Escape);
    EXPECT_EQ(frame_.SearchBar().Field().text(), "");
    EXPECT_EQ(Column(kSubject), inbox);
    EXPECT_EQ(frame_.MailList().List().model()->columnCount(), kFolder);
    EXPECT_EQ(frame_.MailView().Header().Subject().text(), "Budget for March");

    // Emptying the field by hand goes back as well.
    TypeAndEnter("lunch");
    EXPECT_EQ(Column(kSubject), QStringList{"Lunch"});
    frame_.SearchBar().Field().clear();
    EXPECT_EQ(Column(kSubject), inbox);
}

TEST_F(StoreSearchTest, AQueryThatCannotBeReadSaysWhereAndLeavesTheListAlone) {
    SelectFolder("Archive");
    for (const char* query : {"(budget", "subject:", "date:2009-13-45", "\"open phrase"}) {
        statusTexts_.clear();
        TypeAndEnter(query);
        EXPECT_TRUE(frame_.statusBar()->currentMessage().startsWith("Query: column "))
            << query << ": " << frame_.statusBar()->currentMessage().toStdString();
        EXPECT_FALSE(frame_.statusBar()->currentMessage().contains('\n')) << query;
        EXPECT_EQ(Column(kSubject), QStringList{"Budget archive"}) << query;
        EXPECT_FALSE(statusTexts_.join('|').contains("Indexing")) << query;
    }
}

TEST_F(StoreSearchTest, ShortcutsReachTheFieldAndForgettingTheIndexesAsksFirst) {
    frame_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame_));
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), QKeySequence(Qt::Key_F3)}) {
        frame_.FolderTree().Tree().setFocus();
        QTest::keySequence(&frame_, keys);
        EXPECT_TRUE(frame_.SearchBar().Field().hasFocus()) << keys.toString().toStdString();
    }
    EXPECT_FALSE(frame_.SearchBar().Field().accessibleName().isEmpty());
    EXPECT_FALSE(frame_.SearchBar().Field().placeholderText().isEmpty());

    // With nothing selected the search goes to the store in view.
    TypeAndEnter("budget");
    ASSERT_EQ(Column(kSubject).size(), 3);
    const std::filesystem::path indexes =
        std::filesystem::path(qEnvironmentVariable("XDG_CACHE_HOME").toStdString()) / "Velmora" /
        "index";
    ASSERT_FALSE(std::filesystem::is_empty(indexes));

    QAction* forget = frame_.findChild<QAction*>("ForgetSearchIndexes");
    ASSERT_NE(forget, nullptr);
    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        QTimer::singleShot(0, [answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            box->button(answer)->click();
        });
        forget->trigger();
        EXPECT_EQ(std::filesystem::is_empty(indexes), answer == QMessageBox::Yes);
    }
    // The rows shown stay readable, and the next search indexes again.
    EXPECT_EQ(Column(kSubject).size(), 3);
    statusTexts_.clear();
    TypeAndEnter("lunch");
    EXPECT_EQ(Column(kSubject), QStringList{"Lunch"});
    EXPECT_TRUE(statusTexts_.join('|').contains("Indexing"));
}

TEST_F(StoreSearchTest, AllOpenStoresSearchesEachStoreAndNamesItInTheFolder) {
    const std::filesystem::path copy = folder_ / "copy.pst";
    std::filesystem::copy_file(store_, copy);
    ASSERT_TRUE(frame_.FolderTree().OpenStore(QString::fromStdString(copy.string())));
    SelectFolder("Archive");  // of the first store

    TypeAndEnter("lunch");
    EXPECT_EQ(Column(kSubject), QStringList{"Lunch"});
    frame_.SearchBar().AllStores().setChecked(true);
    TypeAndEnter("lunch");
    EXPECT_EQ(Column(kSubject), (QStringList{"Lunch", "Lunch"}));
    QStringList stores;
    for (const QString& folder : Column(kFolder)) {
        EXPECT_TRUE(folder.endsWith("/Inbox")) << folder.toStdString();
        stores << folder.section('/', 0, 0);
    }
    stores.sort();
    EXPECT_EQ(stores, (QStringList{"copy.pst", "mail.pst"}));
    EXPECT_EQ(frame_.statusBar()->currentMessage(), "2 message(s) found");
}

// Cancel in the progress window stops the indexing: what was indexed is
// searched and said to be unfinished, and the next search finishes it.
TEST_F(StoreSearchTest, CancelledIndexingSearchesWhatItHasAndTheNextSearchGoesOn) {
    const std::filesystem::path big = folder_ / "numbers.pst";
    {
        sw::StoreBuilder builder(
            {.variant = sw::Variant::kUnicode, .spoolDirectory = folder_.Path()});
        const std::uint32_t numbers = builder.AddFolder(builder.TopFolder(), "Numbers");
        for (int i = 0; i < 1000; ++i)
            AddMessage(builder, numbers, ("Number " + std::to_string(i)).c_str(), "dora",
                       i % 2 == 0 ? "even" : "odd", 2000 + i % 20);
        std::string error;
        ASSERT_TRUE(builder.WriteTo(big, &error)) << error;
    }
    ASSERT_TRUE(frame_.FolderTree().OpenStore(QString::fromStdString(big.string())));
    SelectFolder("Numbers");
    bool cancelled = false;
    QObject::connect(frame_.statusBar(), &QStatusBar::messageChanged, &frame_,
                     [&cancelled](const QString& text) {
                         if (cancelled || !text.startsWith("Indexing")) return;
                         QWidget* progress = QApplication::activeModalWidget();
                         ASSERT_NE(progress, nullptr);
                         progress->findChild<QPushButton*>("Cancel")->click();
                         cancelled = true;
                     });
    TypeAndEnter("even");
    ASSERT_TRUE(cancelled);
    EXPECT_LT(Column(kSubject).size(), 500);
    EXPECT_TRUE(
        frame_.statusBar()->currentMessage().contains("numbers.pst: indexing stopped after"))
        << frame_.statusBar()->currentMessage().toStdString();

    TypeAndEnter("even");
    EXPECT_EQ(Column(kSubject).size(), 500);
    EXPECT_EQ(frame_.statusBar()->currentMessage(), "500 message(s) found");
}

// A later run finds the index made before: no indexing, and the rows come
// from a session that never listed a folder.
TEST_F(StoreSearchTest, AnIndexMadeBeforeServesTheNextRunAtOnce) {
    TypeAndEnter("budget");
    ASSERT_EQ(Column(kSubject).size(), 3);
    app::CMainFrame later(NoFile);
    later.FolderTree().SetOpenContext(TestOpenContext(&later));
    ASSERT_TRUE(later.FolderTree().OpenStore(QString::fromStdString(store_.string())));
    QStringList texts;
    QObject::connect(later.statusBar(), &QStatusBar::messageChanged, &later,
                     [&texts](const QString& text) { texts << text; });
    QLineEdit& field = later.SearchBar().Field();
    QTest::keyClicks(&field, "anna");
    QTest::keyClick(&field, Qt::Key_Return);
    const QAbstractItemModel* rows = later.MailList().List().model();
    ASSERT_EQ(rows->rowCount(), 2);
    EXPECT_EQ(rows->index(0, kSubject).data().toString(), "Budget for March");
    EXPECT_EQ(rows->index(1, kSubject).data().toString(), "Old figures");
    EXPECT_EQ(later.MailView().Header().Subject().text(), "Budget for March");
    EXPECT_FALSE(texts.join('|').contains("Indexing")) << texts.join('|').toStdString();
}

}  // namespace
}  // namespace velmora::test
