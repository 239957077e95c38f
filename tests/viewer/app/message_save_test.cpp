// Getting mail out of the window: File > Save Message As... writes the selected
// message where the user chose, as a mail program reads it, attached message
// included; the folder tree's Export Folder... writes a folder as .eml files or
// as an mbox file and lists the folder's messages again afterwards; Cancel in
// its progress dialog stops it and leaves only whole messages behind.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/app/window_walk.h"
#include "tests/viewer/panes/test_open_context.h"
#include "tools/storewriter/sample_mail_store.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/dlg_thread_status.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_list/message_save_command.h"

namespace velmora::app {
namespace {

TEST(MessageSaveTest, SaveMessageAsWritesTheSelectedMessageAsAnEmlFile) {
    VELMORA_REQUIRE_CORPUS();
    CMainFrame frame([](QWidget*) { return QString(); });
    QAction* save = frame.MessageSave().Action();
    QStringList fileMenu;
    for (QAction* action : frame.menuBar()->findChild<QMenu*>("FileMenu")->actions())
        fileMenu << (action->isSeparator() ? QString("|") : action->text());
    EXPECT_EQ(fileMenu, (QStringList{"Select &File...", "Save Message &As...", "|", "E&xit"}));
    EXPECT_EQ(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(frame.MailList().List().actions().contains(save));

    const std::filesystem::path target =
        std::filesystem::temp_directory_path() / ("velmora-save-" + std::to_string(getpid()));
    std::filesystem::create_directories(target);
    QString offered;
    frame.MessageSave().SetPathChooser([&](QWidget*, const QString& name) {
        offered = name;
        return QString::fromStdString((target / "saved.eml").string());
    });
    test::WalkCounts counts;
    bool saved = false;
    ASSERT_TRUE(test::WalkStore(
        frame, test::CorpusFile("unicode-submessage.pst"), 1,
        [&](const MailEntry* mail) {
            if (mail == nullptr || saved) return;
            EXPECT_TRUE(save->isEnabled());
            save->trigger();
            saved = true;
        },
        counts));
    ASSERT_TRUE(saved);
    EXPECT_EQ(offered, QString("This is a message which has an embedded message attached.eml"));
    std::ifstream file(target / "saved.eml", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(text.find("Subject: This is a message which has an embedded message attached\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Content-Type: message/rfc822"), std::string::npos);
    EXPECT_NE(text.find("Subject: This is an embedded message\r\n"), std::string::npos);
    frame.close();
    std::filesystem::remove_all(target);
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), {});
}

TEST(MessageSaveTest, ExportFolderWritesTheFolderAndListsItsMessagesAgain) {
    VELMORA_REQUIRE_CORPUS();
    CMainFrame frame([](QWidget*) { return QString(); });
    test::WalkCounts counts;
    ASSERT_TRUE(test::WalkStore(
        frame, test::CorpusFile("unicode-submessage.pst"), 1, [](const MailEntry*) {}, counts));
    panes::CClassView& tree = frame.FolderTree();
    EXPECT_TRUE(tree.Tree().actions().contains(tree.ExportFolderAction()));
    const QModelIndexList found =
        tree.Tree().model()->match(tree.Tree().model()->index(0, 0), Qt::DisplayRole, "submessage",
                                   1, Qt::MatchRecursive | Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    tree.Tree().setCurrentIndex(found[0]);
    ASSERT_EQ(frame.MailList().List().model()->rowCount(), 1);

    const std::filesystem::path target =
        std::filesystem::temp_directory_path() / ("velmora-export-" + std::to_string(getpid()));
    for (const auto format : {MailFormat::kEml, MailFormat::kMbox}) {
        tree.SetExportChooser([&](QWidget*, const QString& name) {
            EXPECT_EQ(name, QString("submessage"));
            return panes::ExportChoice{format, false, QString::fromStdString(target.string())};
        });
        tree.ExportFolderAction()->trigger();
        EXPECT_EQ(frame.MailList().List().model()->rowCount(), 1);
    }
    const std::string eml =
        FileText(target / "submessage" /
                 "00001 This is a message which has an embedded message attached.eml");
    EXPECT_NE(eml.find("Content-Type: message/rfc822"), std::string::npos);
    const std::string mbox = FileText(target / "submessage.mbox");
    EXPECT_EQ(mbox.rfind("From terrymah@microsoft.com ", 0), 0u) << mbox.substr(0, 80);
    EXPECT_NE(mbox.find("Subject: This is an embedded message\n"), std::string::npos);
    frame.close();
    std::filesystem::remove_all(target);
}

// Clicks the progress dialog's Cancel once it counts written messages.
class CancelOnceCounting : public QObject {
  public:
    CancelOnceCounting() {
        connect(&poll_, &QTimer::timeout, this, [this] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<panes::CDlgThreadStatus*>(window);
                auto* line =
                    dialog != nullptr ? dialog->findChild<QLabel*>("SecondStatusLine") : nullptr;
                if (line == nullptr || !line->text().endsWith("messages written")) continue;
                dialog->findChild<QPushButton*>("Cancel")->click();
                poll_.stop();
            }
        });
        poll_.start(2);
    }

  private:
    QTimer poll_;
};

// Whether a written message is whole: its outermost MIME boundary (the
// first one it names; every sample message has attachments) is closed.
bool WholeMessage(std::string_view message) {
    const std::size_t named = message.find("boundary=\"");
    if (named == std::string_view::npos) return false;
    const std::size_t start = named + 10;
    const std::string boundary(message.substr(start, message.find('"', start) - start));
    return message.find("\n--" + boundary + "--") != std::string_view::npos;
}

// How many messages an mbox file holds, and how many of them are whole; -1
// when there is no such file. An entry starts with a From line, at the start
// or after an empty line, and ends with an empty line.
std::pair<int, int> MboxMessages(const std::filesystem::path& path) {
    if (!std::filesystem::exists(path)) return {-1, -1};
    const std::string text = FileText(path);
    if (text.empty()) return {0, 0};
    EXPECT_EQ(text.rfind("From ", 0), 0u) << path;
    EXPECT_TRUE(text.ends_with("\n\n")) << path;
    int count = 0, whole = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = text.find("\n\nFrom ", at);
        const std::size_t end = next == std::string::npos ? text.size() : next + 2;
        ++count;
        whole += WholeMessage(std::string_view(text).substr(at, end - at)) ? 1 : 0;
        at = end;
    }
    return {count, whole};
}

// The same for a folder's directory of .eml files.
std::pair<int, int> EmlMessages(const std::filesystem::path& directory) {
    if (!std::filesystem::exists(directory)) return {-1, -1};
    int count = 0, whole = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.ends_with(".eml") && !name.starts_with(".")) << name;
        ++count;
        whole += WholeMessage(FileText(entry.path())) ? 1 : 0;
    }
    return {count, whole};
}

// Cancel in the middle of the export: it ends at once and says how many
// messages it wrote; the folders before the stop are complete, the one it
// fell in holds whole messages only, none after it is begun, and no
// half-written file is left.
TEST(MessageSaveTest, CancelStopsTheExportAndLeavesOnlyWholeMessages) {
    namespace sw = velmora::storewriter;
    constexpr int kFolders = 4, kPerFolder = 300;
    test::ScratchDir scratch;
    const std::filesystem::path store = scratch.Path() / "Many.pst";
    {
        sw::StoreBuilder builder(
            {.variant = sw::Variant::kUnicode, .spoolDirectory = scratch.Path()});
        sw::SyntheticStoreShape shape;
        shape.folders = kFolders;
        shape.messagesPerFolder = kPerFolder;
        shape.bodySize = 400;
        shape.attachmentSize = 300;
        ASSERT_TRUE(sw::BuildSampleMailStore(builder, shape));
        std::string error;
        ASSERT_TRUE(builder.WriteTo(store, &error)) << error;
    }
    CMainFrame frame([](QWidget*) { return QString(); });
    panes::CClassView& tree = frame.FolderTree();
    tree.SetOpenContext(test::TestOpenContext(&frame));
    ASSERT_TRUE(tree.OpenStore(QString::fromStdString(store.string())));
    const auto& stores = tree.Tree().Stores();
    const QModelIndex top = stores.index(0, 0, stores.index(0, 0));
    ASSERT_EQ(stores.rowCount(top), kFolders);
    tree.Tree().setCurrentIndex(top);

    for (const auto format : {MailFormat::kMbox, MailFormat::kEml}) {
        const bool mbox = format == MailFormat::kMbox;
        SCOPED_TRACE(mbox ? "mbox" : "eml");
        const std::filesystem::path target = scratch.Path() / (mbox ? "mbox" : "eml");
        tree.SetExportChooser([&](QWidget*, const QString&) {
            return panes::ExportChoice{format, true, QString::fromStdString(target.string())};
        });
        QSignalSpy ended(&tree, &panes::CClassView::FolderExported);
        const CancelOnceCounting cancel;
        tree.ExportFolderAction()->trigger();
        ASSERT_EQ(ended.size(), 1);
        const QString said = ended[0][0].toString();
        const QRegularExpressionMatch stopped =
            QRegularExpression("^Export stopped; (\\d+) message\\(s\\) written$").match(said);
        ASSERT_TRUE(stopped.hasMatch()) << said.toStdString();
        const int written = stopped.captured(1).toInt();
        EXPECT_GE(written, 10);
        EXPECT_LT(written, kFolders * kPerFolder);

        const std::filesystem::path below = target / sw::kTopFolderName;
        int found = 0;
        bool stopSeen = false;
        for (int folder = 0; folder < kFolders; ++folder) {
            const std::string name = sw::SampleFolderName(folder);
            const auto [count, whole] =
                mbox ? MboxMessages(below / (name + ".mbox")) : EmlMessages(below / name);
            EXPECT_EQ(whole, count) << name;
            if (stopSeen) {
                EXPECT_EQ(count, -1) << name << " was begun after the stop";
            }
            if (count < kPerFolder) stopSeen = true;
            found += std::max(count, 0);
        }
        EXPECT_EQ(found, written);
    }
    frame.close();
}

}  // namespace
}  // namespace velmora::app
