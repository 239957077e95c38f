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
#include <unordered_set>
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
    int watchAfterMs = 500;
    std::string framesDir;
};

// One click, in milliseconds from the click; empty where it did not happen.
// `painted` is the first frame of the new body (see ReadLooks); `firstChange`
// the first frame of any kind that differs from the look before the click.
struct Click {
    std::optional<double> loadStarted;
    std::optional<double> loaded;
    std::optional<double> painted;
    std::optional<double> firstChange;
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
        shownBefore_.clear();
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
        RunUntil([&] { return pagesShown_ > before; }, 10000);
        // Frames may still come after the load: watch until the body has settled.
        Settle(options_.watchAfterMs);
        watch_.Disarm();
        ReadLooks(watch_.Looks());
        QObject::disconnect(started);
        clickedAt_.reset();
        ++clicks_;
        return current_;
    }

    // Where the frames of odd clicks are saved; none when empty.
    void SaveFramesTo(std::string folder, std::string label) {
        framesDir_ = std::move(folder);
        label_ = std::move(label);
    }

  private:
    // The new body is painted with the first frame, once the browser has
    // started loading the page, that shows a look the page before never
    // showed. Pages move by themselves (a mail's animated image plays for
    // seconds): a frame of the page before, or the same page shown again
    // from its start, is no new body, and a click whose frames are all such
    // changed nothing a user could tell apart.
    void ReadLooks(const std::vector<ScreenWatch::Look>& looks) {
        if (looks.empty()) return;
        shownBefore_.insert(looks.front().hash);
        if (looks.size() > 1) current_.firstChange = MsBetween(*clickedAt_, looks[1].seen);
        std::size_t first = looks.size();
        for (std::size_t i = 1; i < looks.size() && current_.loadStarted; ++i) {
            const double ms = MsBetween(*clickedAt_, looks[i].seen);
            if (ms < *current_.loadStarted || shownBefore_.contains(looks[i].hash)) continue;
            current_.painted = ms;
            first = i;
            break;
        }
        if (looks.size() > 2 || (first == looks.size() && looks.size() > 1)) SaveFrames(looks);
        // What the next click's page must differ from: this page's looks, or,
        // when it changed nothing, every look seen so far.
        if (first < looks.size()) shownBefore_.clear();
        for (std::size_t i = first == looks.size() ? 0 : first; i < looks.size(); ++i)
            shownBefore_.insert(looks[i].hash);
    }

    void SaveFrames(const std::vector<ScreenWatch::Look>& looks) const {
        if (framesDir_.empty()) return;
        for (std::size_t i = 0; i < looks.size(); ++i) {
            const double ms = i == 0 ? 0.0 : MsBetween(*clickedAt_, looks[i].seen);
            const QString name =
                QString::fromStdString(framesDir_) + QStringLiteral("/%1-click%2-look%3-%4ms.png")
                                                         .arg(QString::fromStdString(label_))
                                                         .arg(clicks_)
                                                         .arg(i)
                                                         .arg(static_cast<int>(ms));
            watch_.ImageOf(looks[i]).save(name);
        }
    }

    velmora::app::CMainFrame& frame_;
    ScreenWatch& watch_;
    const Options& options_;
    int pagesShown_ = 0;
    int clicks_ = 0;
    std::unordered_set<std::size_t> shownBefore_;  // looks of the page shown before the click
    std::string framesDir_;
    std::string label_;
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
    std::vector<double> firstChange;
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
    frame.MailView().Body().StartBrowser();  // as the program does
    if (!QTest::qWaitForWindowExposed(&frame) ||
        !frame.FolderTree().OpenStore(QString::fromStdString(store.string()))) {
        std::printf("%s: not opened\n", store.filename().string().c_str());
        return;
    }
    ClickTimer timer(frame, watch, options);
    timer.SaveFramesTo(options.framesDir, store.stem().string());
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
            if (click.firstChange) figures.firstChange.push_back(*click.firstChange);
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
    app.add_option("--watch-after", options.watchAfterMs,
                   "Milliseconds the body is watched after its page is shown");
    app.add_option(
        "--frames", options.framesDir,
        "Folder to save the frames of clicks that showed more than one look after the click");
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
    std::printf(
        "clicks timed: %zu (%d more showed nothing the page before had not shown and are "
        "not counted)\n",
        figures.painted.size(), figures.unchanged);
    PrintLine("click to first paint of the new body:", figures.painted);
    PrintLine("click to the body's first change of any kind:", figures.firstChange);
    PrintLine("click to the page's load started:", figures.loadStarted);
    PrintLine("click to the page loaded:", figures.loaded);
    PrintLine("the page's rebuild alone (not clicked):", figures.rebuilt);
    return 0;
}
