// File > Save Message As... on a message of a real store: the file the user
// chose holds the message as a mail program reads it, attached message included.
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

}  // namespace
}  // namespace velmora::app
