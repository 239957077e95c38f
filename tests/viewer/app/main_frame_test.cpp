// The main frame: the look survives a restart (an unknown stored look falls
// back to the default), the panes can neither float nor close, and the open
// command adds what the file chooser picked.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <optional>

#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/app_looks.h"
#include "viewer/app/app_settings.h"
#include "viewer/app/main_frame.h"
#include "viewer/app/toolbar_customize.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

namespace velmora::app {
namespace {

QSettings Profile() {
    return QSettings(kSettingsOrganization, kSettingsApplication);
}

QString NoFile(QWidget*) {
    return {};
}

struct LookCase {
    const char* name;
    std::optional<int> stored;
    int expectedAtStart;
};

void PrintTo(const LookCase& start, std::ostream* out) {
    *out << start.name;
}

class ApplicationLookTest : public ::testing::TestWithParam<LookCase> {};

TEST_P(ApplicationLookTest, StartsWithTheStoredLookAndKeepsTheChosenOneAcrossARestart) {
    if (GetParam().stored) Profile().setValue(kApplicationLookKey, *GetParam().stored);
    {
        CMainFrame frame(NoFile);
        EXPECT_EQ(frame.AppLook(), GetParam().expectedAtStart);
        ASSERT_NE(frame.LookAction(GetParam().expectedAtStart), nullptr);
        EXPECT_TRUE(frame.LookAction(GetParam().expectedAtStart)->isChecked());
        EXPECT_EQ(Profile().value(kApplicationLookKey).toInt(), GetParam().expectedAtStart);
        frame.LookAction(209)->trigger();
        EXPECT_EQ(frame.AppLook(), 209);
        EXPECT_EQ(QApplication::style()->name(), EffectiveStyleName(LookForId(209)));
    }
    CMainFrame restarted(NoFile);
    EXPECT_EQ(restarted.AppLook(), 209);
    EXPECT_TRUE(restarted.LookAction(209)->isChecked());
    EXPECT_FALSE(restarted.LookAction(GetParam().expectedAtStart)->isChecked());
}

INSTANTIATE_TEST_SUITE_P(Starts, ApplicationLookTest,
                         ::testing::Values(LookCase{"FirstStart", std::nullopt, 215},
                                           LookCase{"StoredBlack", 216, 216},
                                           LookCase{"StoredUnknown", 999, 215},
                                           LookCase{"StoredWindows7", 219, 215}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MainFrameTest, ShowsTheTitleMenusToolbarAndTwoFixedPanes) {
    CMainFrame frame(NoFile);
    EXPECT_EQ(frame.windowTitle(), QString("Tessmora PST Viewer"));
    QStringList menus;
    for (QAction* action : frame.menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "&View", "&Tools", "&Help"}));

    auto* toolBar = frame.findChild<QToolBar*>("Standard");
    ASSERT_NE(toolBar, nullptr);
    QStringList buttons;
    for (QAction* action : toolBar->actions())
        buttons << (action->isSeparator() ? QString("|") : action->text());
    EXPECT_EQ(buttons, (QStringList{"Select &File...", "|", "Help", "|", "Customize..."}));
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);

    struct PaneCase {
        QDockWidget* pane;
        const char* title;
        Qt::DockWidgetArea area;
    };
    for (const PaneCase& expected :
         {PaneCase{&frame.FolderTreePane(), "Folder Tree", Qt::LeftDockWidgetArea},
          PaneCase{&frame.MailListPane(), "Mail List", Qt::RightDockWidgetArea}}) {
        EXPECT_EQ(expected.pane->windowTitle(), QString(expected.title));
        EXPECT_EQ(expected.pane->features(), QDockWidget::DockWidgetMovable) << expected.title;
        EXPECT_EQ(frame.dockWidgetArea(expected.pane), expected.area) << expected.title;
        EXPECT_FALSE(expected.pane->accessibleName().isEmpty());
    }
}

TEST(MainFrameTest, CustomizeHidesButtonsAndChangesLabelsUntilTheUserChangesThemBack) {
    QSettings(kSettingsOrganization, kSettingsApplication).remove("Toolbars");
    const auto toolBarOf = [](CMainFrame& frame) { return frame.findChild<QToolBar*>("Standard"); };
    const auto helpOf = [&](CMainFrame& frame) {
        return toolBarOf(frame)->findChild<QAction*>("HelpButton");
    };
    {
        CMainFrame frame(NoFile);
        CToolbarCustomizeDialog dialog(toolBarOf(frame));
        auto* help = dialog.findChild<QCheckBox*>("HelpButton");
        ASSERT_NE(help, nullptr);
        // Customize itself can never be hidden: the user could not come back.
        EXPECT_EQ(dialog.findChild<QCheckBox*>("CustomizeButton"), nullptr);
        help->setChecked(false);
        auto* style = dialog.findChild<QComboBox*>("ButtonStyle");
        style->setCurrentIndex(style->findData(static_cast<int>(Qt::ToolButtonIconOnly)));
        EXPECT_FALSE(helpOf(frame)->isVisible());
        EXPECT_EQ(toolBarOf(frame)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    }
    CMainFrame restarted(NoFile);
    EXPECT_FALSE(helpOf(restarted)->isVisible());
    EXPECT_TRUE(restarted.findChild<QAction*>("SelectFile")->isVisible());
    EXPECT_EQ(toolBarOf(restarted)->toolButtonStyle(), Qt::ToolButtonIconOnly);
    QSettings(kSettingsOrganization, kSettingsApplication).remove("Toolbars");
}

TEST(MainFrameTest, F6AndShiftF6MoveTheKeyboardRoundThePanes) {
    CMainFrame frame(NoFile);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QWidget* const tree = &frame.FolderTree().Tree();
    QWidget* const list = &frame.MailList().List();
    QWidget* const message = &frame.MailView().Header().Subject();
    const struct {
        Qt::KeyboardModifiers modifiers;
        QWidget* lands;
    } steps[] = {{Qt::NoModifier, list},    {Qt::NoModifier, message},
                 {Qt::NoModifier, tree},    {Qt::ShiftModifier, message},
                 {Qt::ShiftModifier, list}, {Qt::ShiftModifier, tree}};
    tree->setFocus();
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, step.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), step.lands)
            << (step.modifiers == Qt::NoModifier ? "F6" : "Shift+F6") << " to "
            << step.lands->objectName().toStdString();
    }
}

TEST(MainFrameTest, FirstStartLeavesRoomForAMessageAndLaterStartsKeepTheUsersSize) {
    Profile().remove(kGeometryKey);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    {
        CMainFrame first(NoFile);
        // About three quarters of the free screen each way, in its middle.
        const QRect frame = first.geometry();
        EXPECT_NEAR(frame.width(), available.width() * 3 / 4, 1);
        EXPECT_NEAR(frame.height(), available.height() * 3 / 4, 1);
        EXPECT_LE(std::abs(frame.center().x() - available.center().x()), 1);
        EXPECT_LE(std::abs(frame.center().y() - available.center().y()), 1);
        first.show();
        first.resize(available.width() / 2, available.height() / 2);
        first.close();
    }
    CMainFrame later(NoFile);
    EXPECT_EQ(later.size(), QSize(available.width() / 2, available.height() / 2));
    Profile().remove(kGeometryKey);
}

// The status bar's text, as the accessibility tree offers it.
QString StatusTextForScreenReaders(QStatusBar* bar) {
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(bar);
    QStringList texts;
    for (int i = 0; interface != nullptr && i < interface->childCount(); ++i) {
        QAccessibleInterface* child = interface->child(i);
        const QString text = child->text(QAccessible::Name);
        if (!child->state().invisible && !text.isEmpty()) texts << text;
    }
    return texts.join(QLatin1Char(' '));
}

TEST(MainFrameTest, TheStatusBarsTextReachesScreenReaders) {
    CMainFrame frame(NoFile);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QStatusBar* bar = frame.statusBar();
    ASSERT_NE(bar->findChild<QLabel*>("StatusMessage"), nullptr);

    emit frame.FolderTree().FolderMessagesCounted("Inbox", 250000);
    EXPECT_EQ(bar->currentMessage(), "Inbox: 250000 message(s)");
    EXPECT_EQ(StatusTextForScreenReaders(bar), "Inbox: 250000 message(s)");

    // A command's prompt replaces it for as long as the pointer rests on the command.
    QStatusTipEvent prompt(frame.findChild<QAction*>("SelectFile")->statusTip());
    QApplication::sendEvent(&frame, &prompt);
    EXPECT_EQ(StatusTextForScreenReaders(bar), "Select the PST File to View");
    bar->clearMessage();
    EXPECT_EQ(StatusTextForScreenReaders(bar), "");
}

TEST(MainFrameTest, OpenCommandAddsTheChosenStoreAndACancelledChoiceChangesNothing) {
    VELMORA_REQUIRE_CORPUS();
    QString chosen;
    CMainFrame frame([&](QWidget*) { return chosen; });
    frame.FolderTree().SetOpenContext(test::TestOpenContext(&frame));
    const auto& stores = frame.FolderTree().Tree().Stores();
    frame.OnSelectFile();
    EXPECT_EQ(stores.rowCount(), 0);
    chosen = QString::fromStdString(test::CorpusFile("ansi-basic.pst").string());
    frame.OnSelectFile();
    frame.OnSelectFile();
    EXPECT_EQ(stores.rowCount(), 2);
    frame.close();
    EXPECT_EQ(stores.rowCount(), 0);
}

}  // namespace
}  // namespace velmora::app
