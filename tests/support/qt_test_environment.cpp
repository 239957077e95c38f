// Linked into each window test program as a source, so that its environment
// registers itself before main runs.
#include "tests/support/qt_test_environment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "common/utf16_text.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/mail_view/browser_rendering.h"

namespace velmora::test {
namespace {

class QtTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        AllowBrowserAsRoot();
        // The body's browser draws as the program's does.
        ChooseBodyBrowserRendering();
        // ctest runs every case as a program of its own: each gets fresh settings.
        folder_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(folder_->isValid());
        qputenv("XDG_CONFIG_HOME", folder_->filePath("config").toLocal8Bit());
        qputenv("XDG_CACHE_HOME", folder_->filePath("cache").toLocal8Bit());
        application_ = std::make_unique<QApplication>(argc_, argv_);
        ASSERT_TRUE(InitWorkFolder());
    }
    void TearDown() override {
        application_.reset();
        folder_.reset();
    }

  private:
    // A click now renders at once, so any window test may start the message
    // view's browser, which refuses to start as root with its sandbox on: the
    // program's start lifts it then (browser_sandbox), and so do the tests.
    // A test that checks that start itself has already done it by now.
    static void AllowBrowserAsRoot() {
#ifndef _WIN32
        if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    }

    int argc_ = 1;
    char name_[16] = "velmora-test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace

RecordingMessageHost::RecordingMessageHost() {
    SetMessageBoxHost(this);
}

RecordingMessageHost::~RecordingMessageHost() {
    SetMessageBoxHost(nullptr);
}

void RecordingMessageHost::Show(const std::u16string&, const std::u16string& text) {
    const std::lock_guard lock(mutex_);
    texts.push_back(common::Utf16ToUtf8(text));
}

}  // namespace velmora::test
