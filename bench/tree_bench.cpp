// How long the window takes to show a store's folder tree beyond the engine's
// own work. Writes a mail store with many folders (or takes one), then opens
// it twice per run: through the engine alone (create, parse, all-folders
// enumeration on a worker thread), and through the folder tree pane as the
// open command does (progress dialog, eager fill of the tree, expanded and
// sorted, laid out). Prints the medians and their difference.
#include <QApplication>
#include <QTreeView>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>
#include <vector>

#include "bench/elapsed.h"
#include "common/path_text.h"
#include "tools/storewriter/sample_mail_store.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/open_store.h"

namespace {

namespace sw = velmora::storewriter;
namespace panes = velmora::panes;
using velmora::bench::Clock;
using velmora::bench::SecondsSince;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool WriteStore(std::uint32_t folders, sw::Variant variant, const std::filesystem::path& path) {
    sw::StoreBuilder builder({.variant = variant, .spoolDirectory = path.parent_path()});
    sw::SyntheticStoreShape shape;
    shape.folders = folders;
    shape.messagesPerFolder = 1;
    shape.attachmentsPerMessage = 0;
    std::string error;
    if (sw::BuildSampleMailStore(builder, shape) && builder.WriteTo(path, &error)) return true;
    std::cerr << "cannot write " << path << ": " << error << "\n";
    return false;
}

// The engine's part: the worker runs on a thread of its own, joined at once.
panes::OpenStoreContext EngineOnly() {
    return {panes::LibraryBindingFactory(),
            [](StatusBlock*, panes::ThreadProc proc) {
                std::thread worker([&] { proc([](const std::u16string&) {}); });
                worker.join();
            },
            velmora::GetWorkFolder()};
}

double TimeEngine(const std::u16string& store) {
    const Clock::time_point start = Clock::now();
    auto binding = panes::OpenStoreFile(store, EngineOnly());
    const double seconds = SecondsSince(start);
    if (binding) {
        OpenStatus status{1, {}};
        binding->DeletePFFData(&status);
    }
    return seconds;
}

double TimeWindow(const QString& store, int& rows) {
    panes::CClassView view;
    view.SetOpenContext(
        {panes::LibraryBindingFactory(), panes::DialogRunner(&view), velmora::GetWorkFolder()});
    view.resize(400, 800);
    view.show();
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    view.OpenStore(store);
    QApplication::processEvents();
    const double seconds = SecondsSince(start);
    // The folders of the top folder, the one level the sample store has.
    const auto& model = view.Tree().Stores();
    rows = model.rowCount(model.index(0, 0, model.index(0, 0)));
    view.CloseStores();
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Folder tree fill time against the engine's open time"};
    std::uint32_t folders = 10000;
    std::string variantName = "unicode";
    std::string storeArg;
    int runs = 5;
    std::string scratch = "build/bench-stores";
    app.add_option("--folders", folders, "Folders below the top folder of the written store");
    app.add_option("--variant", variantName, "unicode or 4k")
        ->check(CLI::IsMember({"unicode", "4k"}));
    app.add_option("--store", storeArg, "Open this store instead of writing one");
    app.add_option("--runs", runs, "Runs of each, after one warm-up");
    app.add_option("--scratch", scratch, "Folder for the written store");
    CLI11_PARSE(app, argc, argv);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (!velmora::InitWorkFolder()) return 1;

    std::filesystem::path store = storeArg;
    if (store.empty()) {
        std::filesystem::create_directories(scratch);
        store = std::filesystem::path(scratch) /
                ("tree-" + variantName + "-" + std::to_string(folders) + ".pst");
        const sw::Variant variant =
            variantName == "4k" ? sw::Variant::kUnicode4K : sw::Variant::kUnicode;
        if (!std::filesystem::exists(store) && !WriteStore(folders, variant, store)) return 1;
    }
    const std::u16string store16 = common::PathToUtf16(std::filesystem::absolute(store));
    const QString storeText = QString::fromStdU16String(store16);

    std::vector<double> engine;
    std::vector<double> window;
    int rows = 0;
    for (int run = 0; run <= runs; ++run) {
        const double e = TimeEngine(store16);
        const double w = TimeWindow(storeText, rows);
        if (run == 0) continue;  // warm-up
        engine.push_back(e);
        window.push_back(w);
    }
    std::printf("store %s (%.1f MiB), %d folders under the top folder\n", store.string().c_str(),
                static_cast<double>(std::filesystem::file_size(store)) / (1 << 20), rows);
    std::printf("engine open (create, parse, all folders): median %.3f s\n", Median(engine));
    std::printf("window open (the same, and the tree filled and laid out): median %.3f s\n",
                Median(window));
    std::printf("tree beyond the engine: %.3f s\n", Median(window) - Median(engine));
    return 0;
}
