// The progress dialog: the worker's texts reach it, Enter does nothing, every
// way of cancelling asks the engine to stop, and the dialog ends only with
// its worker, also when it is torn down while the worker still runs.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "tests/support/qt_test_environment.h"
#include "viewer/panes/dlg_thread_status.h"

namespace velmora::panes {
namespace {

// The engine's status message, with the operations the dialog uses.
void CopyText(const CorvexChar* from, CorvexChar* out, std::uint32_t capacity) {
    std::uint32_t i = 0;
    for (; i + 1 < capacity && from[i] != 0; ++i) out[i] = from[i];
    out[i] = 0;
}
void CopyFirst(CSThreadStatusMessage* self, CorvexChar* out, std::uint32_t capacity) {
    CopyText(self->firstText, out, capacity);
}
void CopySecond(CSThreadStatusMessage* self, CorvexChar* out, std::uint32_t capacity) {
    CopyText(self->secondText, out, capacity);
}
void SetSecond(CSThreadStatusMessage* self, const CorvexChar* text) {
    CopyText(text, self->secondText, CORVEX_STATUS_TEXT_LENGTH);
    self->secondChanged = 1;
}
const CSThreadStatusMessageOps kOps = {nullptr, CopyFirst, CopySecond, SetSecond};

struct FakeStatus {
    CSThreadStatusMessage message{&kOps, {}, {}, 0, 0, nullptr, nullptr};
    std::int32_t stopWord = 0;
    StatusBlock block{&stopWord, nullptr, 0, &message};

    std::int32_t Stop() { return std::atomic_ref<std::int32_t>(stopWord).load(); }
};

void WaitFor(const std::function<bool()>& condition) {
    while (!condition()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

QString SecondLine(CDlgThreadStatus& dialog) {
    return dialog.findChild<QLabel*>("SecondStatusLine")->text();
}

struct CancelWay {
    const char* name;
    std::function<void(CDlgThreadStatus&)> cancel;
};

void PrintTo(const CancelWay& way, std::ostream* out) {
    *out << way.name;
}

class ProgressCancelTest : public ::testing::TestWithParam<CancelWay> {};

TEST_P(ProgressCancelTest, AsksTheEngineToStopAndEndsOnlyWithTheWorker) {
    FakeStatus status;
    std::atomic<bool> release{false};
    CDlgThreadStatus dialog(&status.block, [&](const StatusTextSink& showText) {
        showText(u"Working...");
        WaitFor([&] { return status.Stop() == CORVEX_STOP_STATE; });
        WaitFor([&] { return release.load(); });
    });
    dialog.Start();
    dialog.show();
    QTRY_COMPARE(SecondLine(dialog), QString("Working..."));

    QTest::keyClick(&dialog, Qt::Key_Return);
    QTest::qWait(50);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(status.Stop(), 0);

    GetParam().cancel(dialog);
    auto* cancel = dialog.findChild<QPushButton*>("Cancel");
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_EQ(status.Stop(), CORVEX_STOP_STATE);
    QTest::qWait(100);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.WorkerEnded());

    release = true;
    QTRY_VERIFY(!dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(status.Stop(), CORVEX_DONE_STATE);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ProgressCancelTest,
    ::testing::Values(
        CancelWay{"CancelButton",
                  [](CDlgThreadStatus& d) { d.findChild<QPushButton*>("Cancel")->click(); }},
        CancelWay{"EscapeKey", [](CDlgThreadStatus& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        CancelWay{"WindowClose", [](CDlgThreadStatus& d) { d.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressDialogTest, RunModalReturnsWhenTheWorkerEndsAndLeavesTheDoneState) {
    FakeStatus status;
    std::thread::id workerThread;
    CDlgThreadStatus dialog(&status.block, [&](const StatusTextSink& showText) {
        workerThread = std::this_thread::get_id();
        showText(u"Parsing file...");
        showText(u"Enumerating folder...");
    });
    EXPECT_EQ(dialog.RunModal(), QDialog::Accepted);
    EXPECT_NE(workerThread, std::this_thread::get_id());
    EXPECT_EQ(SecondLine(dialog), QString("Enumerating folder..."));
    EXPECT_EQ(status.Stop(), CORVEX_DONE_STATE);
}

TEST(ProgressDialogTest, TearingDownWhileTheWorkerRunsStopsItAndWaitsForIt) {
    FakeStatus status;
    std::atomic<bool> workerDone{false};
    auto dialog =
        std::make_unique<CDlgThreadStatus>(&status.block, [&](const StatusTextSink& showText) {
            WaitFor([&] { return status.Stop() == CORVEX_STOP_STATE; });
            // Still reporting while the dialog goes: it must be served, not deadlock.
            showText(u"Stopping...");
            workerDone = true;
        });
    dialog->Start();
    dialog.reset();
    EXPECT_TRUE(workerDone.load());
    EXPECT_EQ(status.Stop(), CORVEX_DONE_STATE);
}

TEST(ProgressDialogTest, QuittingTheProgramStopsTheWorkerAndWaitsForIt) {
    FakeStatus status;
    std::atomic<std::int32_t> stopSeenByWorker{0};
    CDlgThreadStatus dialog(&status.block, [&](const StatusTextSink&) {
        WaitFor([&] { return status.Stop() == CORVEX_STOP_STATE; });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stopSeenByWorker = status.Stop();
    });
    // Quitting ends every event loop, the dialog's included, while the worker runs.
    QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
    dialog.RunModal();
    EXPECT_TRUE(dialog.WorkerEnded());
    EXPECT_EQ(stopSeenByWorker.load(), CORVEX_STOP_STATE);
    EXPECT_EQ(status.Stop(), CORVEX_DONE_STATE);

    // A quit stays in force until the main loop runs again; run it once so that
    // later tests in this program start from a running application.
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

TEST(ProgressDialogTest, AWorkerWithoutStatusMessageStillEnds) {
    std::int32_t stopWord = 0;
    StatusBlock block{&stopWord, nullptr, 0, nullptr};
    bool ran = false;
    CDlgThreadStatus dialog(&block, [&](const StatusTextSink& showText) {
        showText(u"ignored");
        ran = true;
    });
    EXPECT_EQ(dialog.RunModal(), QDialog::Accepted);
    EXPECT_TRUE(ran);
    EXPECT_EQ(stopWord, CORVEX_DONE_STATE);
}

}  // namespace
}  // namespace velmora::panes
