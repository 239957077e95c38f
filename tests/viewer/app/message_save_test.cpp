// Getting mail out of the window: File > Save Message As... writes the selected
// message where the user chose, as a mail program reads it, attached message
// included; the folder tree's Export Folder... writes a folder as .eml files or
// as an mbox file and lists the folder's messages again afterwards.
#include <gtest/gtest.h>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>
#include <fstream>
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/app/window_walk.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"
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

}  // namespace
}  // namespace velmora::app
