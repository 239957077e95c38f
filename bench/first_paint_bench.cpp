// From a click on a message to its body on screen, in the real window on an X
// display (run it under xvfb-run -a). Opens corpus stores in the main frame,
// selects each folder with messages, clicks its rows one after the other as a
// user would, and times every click until the pixels of the body region, read
// back from the X server by a thread of its own, first change. Beside that it
// notes when the browser started and finished loading the page, and times the
// page's rebuild alone, so that the figures say where the time goes.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/screen_watch.h"
#include "common/path_text.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/rebuild/message_page.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/browser_sandbox.h"
#include "viewer/panes/mail_view/locked_page.h"
#include "viewer/panes/mail_view/mail_presenter.h"
#include "viewer/panes/mail_view/velmora_view.h"

namespace {

namespace fs = std::filesystem;
using velmora::bench::ScreenWatch;
using Clock = ScreenWatch::Clock;

struct Options {
    std::string corpus = VELMORA_CORPUS_DIR;
    std::vector<std::string> stores;
    int perFolder = 8;
    int settleMs = 300;
    int bodyRows = 240;
};

// One click, in milliseconds from the click; empty where it did not happen.
struct Click {
    std::optional<double> loadStarted;
    std::optional<double> loaded;
    std::optional<double> painted;
};

double MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Runs the event loop until `done` holds or `timeoutMs` has passed, looking
// every millisecond; the loop never sleeps, so the browser's work on this
// thread is not held up.
bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    QEventLoop loop;
    QTimer look;
    look.setTimerType(Qt::PreciseTimer);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.elapsed() >= timeoutMs) loop.quit();
    });
    look.start(1);
    if (!done()) loop.exec();
    return done();
}

void Settle(int ms) {
    RunUntil([] { return false; }, ms);
}

class ClickTimer {
  public:
    ClickTimer(velmora::app::CMainFrame& frame, ScreenWatch& watch, const Options& options)
        : frame_(frame), watch_(watch), options_(options) {
        velmora::BodyDisplay& body = frame_.MailView().Body();
        QObject::connect(&body, &velmora::BodyDisplay::PageShown, &frame_, [this] {
            ++pagesShown_;
            if (clickedAt_) current_.loaded = MsBetween(*clickedAt_, Clock::now());
        });
        auto* presenter = frame_.findChild<velmora::MailPresenter*>();
        QObject::connect(presenter, &velmora::MailPresenter::MessageNotShown, &frame_,
                         [this] { ++pagesShown_; });
    }

    // Selects `folder` and waits for its first message's page, which the
    // window shows by itself; false when the folder has fewer than two rows.
    bool EnterFolder(const QModelIndex& folder) {
        velmora::CListCtrlMails& list = frame_.MailList().List();
        const int before = pagesShown_;
        frame_.FolderTree().Tree().setCurrentIndex(folder);
        if (list.model()->rowCount() < 2) return false;
        RunUntil([&] { return pagesShown_ > before; }, 20000);
        Settle(options_.settleMs);
        return true;
    }

    // Clicks `row` of the mail list and times it.
    Click ClickRow(int row) {
        velmora::CListCtrlMails& list = frame_.MailList().List();
        const QModelIndex index = list.model()->index(row, 0);
        list.scrollTo(index);
        Settle(options_.settleMs);
        QWebEngineView* view = frame_.MailView().Body().View();
        const QRect area(view->mapToGlobal(QPoint(0, 0)),
                         QSize(view->width(), std::min(view->height(), options_.bodyRows)));
        watch_.Arm(area);
        current_ = {};
        QMetaObject::Connection started = QObject::connect(
            frame_.MailView().Body().Page(), &QWebEnginePage::loadStarted, &frame_, [this] {
                if (!current_.loadStarted)
                    current_.loadStarted = MsBetween(*clickedAt_, Clock::now());
            });
        const int before = pagesShown_;
        clickedAt_ = Clock::now();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
        RunUntil([&] { return watch_.ChangedAt().has_value() || pagesShown_ > before; }, 10000);
        // A page that looks like the one before changes nothing on screen:
        // give it a moment past its load, then count it as unchanged.
        RunUntil([&] { return watch_.ChangedAt().has_value(); }, 1000);
        RunUntil([&] { return pagesShown_ > before; }, 10000);
        if (const auto changed = watch_.ChangedAt())
            current_.painted = MsBetween(*clickedAt_, *changed);
        watch_.Disarm();
        QObject::disconnect(started);
        clickedAt_.reset();
        return current_;
    }

  private:
    velmora::app::CMainFrame& frame_;
    ScreenWatch& watch_;
    const Options& options_;
    int pagesShown_ = 0;
    std::optional<Clock::time_point> clickedAt_;
    Click current_;
};

// The rebuild of `mail`'s page file alone, as the view makes it, in milliseconds.
double RebuildMs(const MailEntry* mail) {
    const std::u16string page = velmora::NewScratchPath() + u".mht";
    const Clock::time_point start = Clock::now();
    velmora::RenderMessagePage(mail, page);
    const double ms = MsBetween(start, Clock::now());
    std::error_code ignored;
    fs::remove(common::PathFromUtf16(page), ignored);
    return ms;
}

struct Figures {
    std::vector<double> loadStarted;
    std::vector<double> loaded;
    std::vector<double> painted;
    std::vector<double> rebuilt;
    int unchanged = 0;
};

// Every folder of the store shown in `frame`, breadth first.
std::vector<QModelIndex> Folders(velmora::app::CMainFrame& frame) {
    const auto& model = frame.FolderTree().Tree().Stores();
    std::vector<QModelIndex> folders = {model.index(0, 0)};
    for (std::size_t next = 0; next < folders.size() && folders.size() < 500; ++next) {
        for (int row = 0; row < model.rowCount(folders[next]); ++row)
            folders.push_back(model.index(row, 0, folders[next]));
    }
    return folders;
}

void TimeStore(const fs::path& store, ScreenWatch& watch, const Options& options,
               Figures& figures) {
    velmora::app::CMainFrame frame([](QWidget*) { return QString(); });
    frame.resize(1200, 800);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame) ||
        !frame.FolderTree().OpenStore(QString::fromStdString(store.string()))) {
        std::printf("%s: not opened\n", store.filename().string().c_str());
        return;
    }
    ClickTimer timer(frame, watch, options);
    int clicks = 0;
    for (const QModelIndex& folder : Folders(frame)) {
        if (!timer.EnterFolder(folder)) continue;
        velmora::CListCtrlMails& list = frame.MailList().List();
        const int rows = std::min(list.model()->rowCount(), options.perFolder + 1);
        for (int row = 1; row < rows; ++row) {
            const Click click = timer.ClickRow(row);
            ++clicks;
            if (!click.painted) {
                ++figures.unchanged;
                continue;
            }
            figures.painted.push_back(*click.painted);
            if (click.loadStarted) figures.loadStarted.push_back(*click.loadStarted);
            if (click.loaded) figures.loaded.push_back(*click.loaded);
        }
        for (int row = 1; row < rows; ++row)
            figures.rebuilt.push_back(RebuildMs(list.Mails().MailAt(row)));
    }
    std::printf("%s: %d clicks\n", store.filename().string().c_str(), clicks);
    frame.FolderTree().CloseStores();
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

void PrintLine(const char* what, const std::vector<double>& values) {
    std::printf("%-44s median %6.1f ms   95th percentile %6.1f ms   max %6.1f ms   (%zu)\n", what,
                Percentile(values, 0.5), Percentile(values, 0.95),
                values.empty() ? 0.0 : *std::max_element(values.begin(), values.end()),
                values.size());
}

std::vector<fs::path> StoresToTime(const Options& options) {
    std::vector<fs::path> stores;
    if (!options.stores.empty()) {
        for (const std::string& name : options.stores)
            stores.push_back(fs::path(options.corpus) / name);
        return stores;
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(options.corpus, error)) {
        if (entry.path().extension() == ".pst") stores.push_back(entry.path());
    }
    std::sort(stores.begin(), stores.end());
    return stores;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Click on a message to its body on screen, in the real window (run under xvfb-run -a)"};
    Options options;
    app.add_option("--corpus", options.corpus, "Folder of the corpus stores");
    app.add_option("--store", options.stores,
                   "Store file names in that folder (default: every .pst)");
    app.add_option("--per-folder", options.perFolder, "Rows clicked per folder, after its first");
    app.add_option("--settle", options.settleMs, "Milliseconds of quiet before each click");
    app.add_option("--body-rows", options.bodyRows, "Pixel rows of the body watched, from its top");
    CLI11_PARSE(app, argc, argv);

    // As the program starts: the browser's start is prepared before the
    // application is made.
    velmora::PrepareBodyBrowserStart();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X display: run it under xvfb-run -a\n");
        return 2;
    }
    ScreenWatch watch;
    if (!watch.Connected()) {
        std::fprintf(stderr, "cannot read the X screen\n");
        return 2;
    }
    QTemporaryDir work;
    velmora::InitWorkFolder();
    const velmora::WorkFolderScope scope(common::PathToUtf16(fs::path(work.path().toStdString())));
    if (!work.isValid() || !scope.Ready()) {
        std::fprintf(stderr, "no working folder\n");
        return 1;
    }

    Figures figures;
    for (const fs::path& store : StoresToTime(options)) TimeStore(store, watch, options, figures);
    std::printf("clicks timed: %zu (%d more changed nothing on screen and are not counted)\n",
                figures.painted.size(), figures.unchanged);
    PrintLine("click to first paint of the new body:", figures.painted);
    PrintLine("click to the page's load started:", figures.loadStarted);
    PrintLine("click to the page loaded:", figures.loaded);
    PrintLine("the page's rebuild alone (not clicked):", figures.rebuilt);
    return 0;
}
