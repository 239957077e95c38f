// Messages reported on a worker thread appear on the interface thread, and the
// worker goes on only after the box has been dealt with.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "viewer/panes/gui_message_host.h"

namespace velmora::panes {
namespace {

class RecordingGuiHost : public GuiMessageBoxHost {
  public:
    std::atomic<int> presented{0};
    std::atomic<bool> onInterfaceThread{true};
    QString lastText;

  protected:
    void Present(const QString&, const QString& text) override {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            onInterfaceThread = false;
        lastText = text;
        ++presented;
    }
};

TEST(GuiMessageHostTest, MessagesFromAnyThreadAreShownOnTheInterfaceThread) {
    RecordingGuiHost host;
    host.Show(u"Caption", u"from the interface thread");
    EXPECT_EQ(host.presented.load(), 1);

    std::atomic<int> seenByWorker{-1};
    std::thread worker([&] {
        host.Show(u"Caption", u"from a worker");
        seenByWorker = host.presented.load();
    });
    QTRY_VERIFY(seenByWorker.load() != -1);
    worker.join();
    EXPECT_EQ(seenByWorker.load(), 2);
    EXPECT_TRUE(host.onInterfaceThread.load());
    EXPECT_EQ(host.lastText, QString("from a worker"));
}

}  // namespace
}  // namespace velmora::panes
