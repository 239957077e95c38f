// The window run as root, as containers and rescue systems run it, with no
// browser flag in the environment: the first message shows in the body, and
// the program does not end when the browser starts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/test_paths.h"
#include "tests/viewer/app/corpus_frame.h"
#include "tests/viewer/panes/mail_view/body_page_text.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/app/main_frame.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/browser_sandbox.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

// What the program's start does, before the test environment makes the
// application: no flag a user might have set survives.
[[maybe_unused]] static const bool kBrowserPrepared = [] {
    qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return velmora::PrepareBodyBrowserStart();
}();

namespace velmora::test {
namespace {

TEST(RootWindowTest, TheFirstMessageShowsInTheBody) {
    EXPECT_EQ(kBrowserPrepared, ::geteuid() == 0) << "only root starts without the sandbox";
    VELMORA_REQUIRE_CORPUS();
    app::CMainFrame frame([](QWidget*) { return QString(); });
    ASSERT_TRUE(ShowWithCorpusStore(frame, "unicode-basic.pst"));

    BodyDisplay& body = frame.MailView().Body();
    QSignalSpy shown(&body, &BodyDisplay::PageShown);
    CListCtrlMails& list = frame.MailList().List();
    const auto& model = frame.FolderTree().Tree().Stores();
    const QModelIndex top = model.index(0, 0, model.index(0, 0));
    for (int row = 0; row < model.rowCount(top) && list.model()->rowCount() == 0; ++row)
        frame.FolderTree().Tree().setCurrentIndex(model.index(row, 0, top));
    ASSERT_GT(list.model()->rowCount(), 0) << "no folder with a message";
    ASSERT_TRUE(shown.wait(30000)) << "the body never showed the message";
    EXPECT_TRUE(shown[0][0].toBool());
    EXPECT_FALSE(PlainText(body).trimmed().isEmpty());
    EXPECT_FALSE(frame.MailView().Header().Subject().text().isEmpty());
}

}  // namespace
}  // namespace velmora::test
