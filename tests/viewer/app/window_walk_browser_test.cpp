// Every corpus store and 4K twin through the real window with its browser:
// every folder, the first message of each (all of them with
// VELMORA_FULL_WINDOW_WALK=1), each page loaded into the body view. All
// browser traffic is sent through a proxy of the test's own, which must never
// hear from it: the pages load nothing from the network.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include "tests/support/test_paths.h"
#include "tests/viewer/app/window_walk.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

// The browser shares the window's graphics contexts; this must be said before
// the test environment makes the application.
[[maybe_unused]] static const bool kSharedContexts =
    (QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts), true);

namespace velmora::test {
namespace {

// Points the browser, which starts with the first page, at `proxy` for every
// address, the machine's own included.
void SendBrowserTrafficTo(const QTcpServer& proxy) {
    const QByteArray flags =
        qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") +
        " --proxy-server=http://127.0.0.1:" + QByteArray::number(proxy.serverPort()) +
        " --proxy-bypass-list=<-loopback>";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

TEST(WindowWalkBrowserTest, EveryCorpusMessageLoadsItsPageAndNothingFromTheNetwork) {
    VELMORA_REQUIRE_CORPUS();
    QTcpServer proxy;
    ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&proxy, &QTcpServer::newConnection, [&] { ++connections; });
    SendBrowserTrafficTo(proxy);

    WalkCounts counts;
    int failedPages = 0;
    for (const auto& store : CorpusStoreFiles()) {
        SCOPED_TRACE(store.filename().string());
        app::CMainFrame frame([](QWidget*) { return QString(); });
        frame.resize(1000, 700);
        frame.show();
        auto* presenter = frame.findChild<MailPresenter*>();
        BodyDisplay& body = frame.MailView().Body();
        CWndMailHeader& header = frame.MailView().Header();
        const bool opened = WalkStore(
            frame, store, MessagesPerFolderToWalk(1),
            [&](const MailEntry* mail) {
                QSignalSpy shown(&body, &BodyDisplay::PageShown);
                QSignalSpy notShown(presenter, &MailPresenter::MessageNotShown);
                ASSERT_TRUE(
                    QTest::qWaitFor([&] { return shown.count() + notShown.count() > 0; }, 20000));
                failedPages += notShown.count() + (shown.count() > 0 && !shown[0][0].toBool());
                EXPECT_EQ(header.Subject().text(), QString::fromStdU16String(MailSubject(mail)));
            },
            counts);
        EXPECT_TRUE(opened);
        presenter->Clear();
    }
    QTest::qWait(200);  // a late request would reach the proxy by now
    EXPECT_EQ(failedPages, 0);
    EXPECT_EQ(connections, 0);
    EXPECT_GT(counts.messages, 50);
    std::printf("walked %d tree items and %d messages with their pages\n", counts.folders,
                counts.messages);
}

}  // namespace
}  // namespace velmora::test
