// What a click on a store's largest folder (or a named one) costs in memory, and how long its
// records take to free. Opens the store and lists the folder twice, each in a
// fresh child process: through the data side alone (the engine library bound
// as the window binds it, the folder read on a worker in batches, as the
// window's worker reads it), and in the real main frame (run it under
// xvfb-run -a), where the list, the first message's page and everything else
// the window holds come on top. Prints resident memory and the heap in use
// after each step, the peak, and the time the folder's records take to free.
#include <malloc.h>
#include <time.h>

#include <QApplication>
#include <QTest>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/child_run.h"
#include "bench/elapsed.h"
#include "common/path_text.h"
#include "common/property_ids.h"
#include "viewer/app/main_frame.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/browser_sandbox.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/open_store.h"
#include "viewer/panes/store_list.h"
#include "viewer/panes/worker_procs.h"

namespace {

namespace fs = std::filesystem;
namespace panes = velmora::panes;
using velmora::bench::Clock;
using velmora::bench::SecondsSince;

// The kernel's account of this process: resident now and at its peak, in MiB.
double StatusMiB(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::strlen(field))) / 1024.0;
    }
    return 0;
}

// What malloc has handed out and not had back, and what it holds free, in MiB.
double HeapInUseMiB() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / 1048576.0;
}
double HeapFreeMiB() {
    return static_cast<double>(::mallinfo2().fordblks) / 1048576.0;
}

// One line of figures, written to the parent through the result channel.
void Report(int fd, const char* step) {
    ::dprintf(fd,
              "  %-26s resident %7.1f MiB, heap in use %7.1f MiB (%6.1f MiB free in it), "
              "peak %7.1f MiB\n",
              step, StatusMiB("VmRSS:"), HeapInUseMiB(), HeapFreeMiB(), StatusMiB("VmHWM:"));
}

std::uint32_t ContentCount(const FolderEntry* folder) {
    const ExportedPropMap* props = folder != nullptr ? folder->props : nullptr;
    for (std::uint32_t i = 0; props != nullptr && i < props->count; ++i) {
        const ExportedProp* prop = props->items[i];
        if (prop->id == common::prop::kContentCount && prop->byteCount >= 4) {
            std::uint32_t count = 0;
            std::memcpy(&count, prop->bytes, sizeof count);
            return count;
        }
    }
    return 0;
}

std::u16string DisplayName(const FolderEntry* folder) {
    const ExportedPropMap* props = folder != nullptr ? folder->props : nullptr;
    for (std::uint32_t i = 0; props != nullptr && i < props->count; ++i) {
        const ExportedProp* prop = props->items[i];
        if (prop->id == common::prop::kDisplayName && prop->type == 0x001F && prop->bytes) {
            std::u16string name(prop->byteCount / 2, u'\0');
            std::memcpy(name.data(), prop->bytes, name.size() * 2);
            return name.substr(0, name.find(u'\0'));
        }
    }
    return {};
}

// Whether `folder` is a better pick than `best`: the one named so when a name
// is given, otherwise the one whose record says it holds more messages.
bool BetterPick(const FolderEntry* folder, const FolderEntry* best, const std::u16string& name) {
    if (!name.empty()) return best == nullptr && DisplayName(folder) == name;
    return best == nullptr || ContentCount(folder) > ContentCount(best);
}

// The folder of the tree below `parent` to click.
QModelIndex PickFolder(const QAbstractItemModel& model, const QModelIndex& parent,
                       const std::u16string& name, QModelIndex best = {}) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const panes::TreeItemData* item = panes::StoreList::ItemAt(index);
        const FolderEntry* current =
            best.isValid() ? panes::StoreList::ItemAt(best)->folder : nullptr;
        if (item != nullptr && item->kind == panes::TreeItemKind::FolderItem &&
            BetterPick(item->folder, current, name)) {
            best = index;
        }
        best = PickFolder(model, index, name, best);
    }
    return best;
}

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Frees the folder's records as a second click on it does before reading it
// again; returns the seconds taken, and the processor time of that in `cpu`.
double FreeFolder(velmora::CPFFDataParserInterFace& binding, FolderEntry* folder, double& cpu) {
    OpenStatus status{1, {}};
    const double cpuStart = ThreadCpuSeconds();
    const auto start = Clock::now();
    binding.EnumChildMailsRange(folder, &status, UINT32_MAX, 1);
    cpu = ThreadCpuSeconds() - cpuStart;
    return SecondsSince(start);
}

// What the records of a folder's messages hold, by property: bytes of values
// (8-byte aligned, as they are laid out) over every map of every message, its
// attachments and recipients included. The largest few, with what the
// declared structs take.
class RecordCensus {
  public:
    void Count(const MailEntry* mail) {
        Count(mail->props);
        for (std::uint32_t i = 0; i < mail->attachments->count; ++i) {
            Count(mail->attachments->items[i]->tableRow);
            Count(mail->attachments->items[i]->object);
            if (mail->attachments->items[i]->embedded) Count(mail->attachments->items[i]->embedded);
        }
        for (std::uint32_t i = 0; i < mail->recipients->count; ++i)
            Count(mail->recipients->items[i]->tableRow);
    }
    void Print(int fd, std::uint32_t messages) const {
        std::vector<std::pair<std::uint64_t, std::uint32_t>> largest;
        std::uint64_t values = 0;
        for (const auto& [tag, bytes] : bytes_) {
            largest.emplace_back(bytes, tag);
            values += bytes;
        }
        std::sort(largest.rbegin(), largest.rend());
        ::dprintf(fd,
                  "  records: %.1f props a message; structs and item pointers %.1f MiB, "
                  "values %.1f MiB\n",
                  static_cast<double>(props_) / messages,
                  static_cast<double>(props_) * (sizeof(ExportedProp) + sizeof(void*)) / 1048576.0,
                  static_cast<double>(values) / 1048576.0);
        for (std::size_t i = 0; i < largest.size() && i < 8; ++i) {
            ::dprintf(fd, "    %04X/%04X %8.1f MiB (%.0f bytes a message)\n",
                      largest[i].second >> 16, largest[i].second & 0xFFFF,
                      static_cast<double>(largest[i].first) / 1048576.0,
                      static_cast<double>(largest[i].first) / messages);
        }
    }

  private:
    void Count(const ExportedPropMap* map) {
        for (std::uint32_t i = 0; map != nullptr && i < map->count; ++i) {
            const ExportedProp* prop = map->items[i];
            bytes_[std::uint32_t{prop->id} << 16 | prop->type] += (prop->byteCount + 7) / 8 * 8;
            ++props_;
        }
    }
    std::map<std::uint32_t, std::uint64_t> bytes_;
    std::uint64_t props_ = 0;
};

int DataSide(const fs::path& store, const std::u16string& name, int fd) {
    Report(fd, "started");
    const panes::OpenStoreContext context{
        panes::LibraryBindingFactory(),
        [](StatusBlock*, panes::ThreadProc proc) {
            std::thread worker([&] { proc([](const std::u16string&) {}); });
            worker.join();
        },
        velmora::GetWorkFolder()};
    auto binding = panes::OpenStoreFile(common::PathToUtf16(store), context);
    if (!binding) return 2;
    Report(fd, "store opened");
    // The folder to click, found in the engine's folder records.
    FolderEntry* largest = nullptr;
    std::function<void(FolderList*)> visit = [&](FolderList* list) {
        for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
            if (BetterPick(list->items[i], largest, name)) largest = list->items[i];
            visit(list->items[i]->children);
        }
    };
    visit(binding->Handle()->rootFolders);
    if (largest == nullptr) return 2;
    OpenStatus status{1, {}};
    const auto start = Clock::now();
    std::thread worker(
        [&] { panes::FolderMailsThreadProc(*binding, largest, &status, [](auto&) {}); });
    worker.join();
    const double listed = SecondsSince(start);
    Report(fd, "folder listed");
    const std::uint32_t count = largest->mails->entries.count;
    RecordCensus census;
    for (std::uint32_t i = 0; i < count; ++i) census.Count(largest->mails->entries.items[i]);
    if (count > 0) census.Print(fd, count);
    double cpu = 0;
    const double freed = FreeFolder(*binding, largest, cpu);
    Report(fd, "folder's records freed");
    ::dprintf(fd, "  %u messages listed in %.2f s, their records freed in %.3f s (%.3f s CPU)\n",
              count, listed, freed, cpu);
    binding->DeletePFFData(&status);
    return 0;
}

int Window(const fs::path& store, const std::u16string& name, int fd) {
    velmora::PrepareBodyBrowserStart();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int argc = 1;
    char program[] = "folder_memory_bench";
    char* argv[] = {program, nullptr};
    QApplication application(argc, argv);
    velmora::app::CMainFrame frame([](QWidget*) { return QString(); });
    frame.resize(1200, 800);
    frame.show();
    frame.MailView().Body().StartBrowser();  // as the program does
    if (!QTest::qWaitForWindowExposed(&frame)) return 2;
    QTest::qWait(500);
    Report(fd, "window shown");
    panes::CClassView& tree = frame.FolderTree();
    if (!tree.OpenStore(QString::fromStdU16String(common::PathToUtf16(store)))) return 2;
    QTest::qWait(200);
    Report(fd, "store opened");
    const QModelIndex folder = PickFolder(tree.Tree().Stores(), {}, name);
    if (!folder.isValid()) return 2;
    const auto start = Clock::now();
    tree.Tree().setCurrentIndex(folder);
    QApplication::processEvents();
    const double listed = SecondsSince(start);
    Report(fd, "folder listed");
    QTest::qWait(3000);  // the first message's page shown
    Report(fd, "first message shown");
    const int rows = frame.MailList().List().model()->rowCount();
    emit tree.MailRecordsReleasing();
    panes::TreeItemData* item = panes::StoreList::ItemAt(folder);
    double cpu = 0;
    const double freed =
        FreeFolder(panes::StoreList::OwningStore(item)->Binding(), item->folder, cpu);
    Report(fd, "folder's records freed");
    ::dprintf(
        fd, "  %d rows shown %.2f s after the click, their records freed in %.3f s (%.3f s CPU)\n",
        rows, listed, freed, cpu);
    tree.CloseStores();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Memory of a click on a store's largest folder, data side and real window"};
    std::string store;
    bool windowToo = true;
    app.add_option("store", store, "The store to open")->required()->check(CLI::ExistingFile);
    std::string folder;
    app.add_flag("!--no-window", windowToo, "Only the data side (no X display needed)");
    app.add_option("--folder", folder,
                   "The folder to click, by its name (default: the one whose record counts the "
                   "most messages)");
    CLI11_PARSE(app, argc, argv);
    if (!velmora::InitWorkFolder()) {
        std::fprintf(stderr, "no working folder\n");
        return 1;
    }
    const fs::path path = fs::absolute(store);
    const std::u16string name(folder.begin(), folder.end());
    std::printf("%s (%.0f MiB)\n", path.string().c_str(),
                static_cast<double>(fs::file_size(path)) / 1048576.0);
    const auto print = [](const char* what, const velmora::bench::ChildFigures& figures) {
        std::printf("%s%s%s  peak resident memory of the process: %.1f MiB\n", what,
                    figures.ok ? "\n" : " (failed)\n", figures.output.c_str(),
                    static_cast<double>(figures.peakKib) / 1024.0);
    };
    print("data side (engine library, worker, batches of 2,000):",
          velmora::bench::RunInChild([&](int fd) { return DataSide(path, name, fd); }));
    if (windowToo) {
        print("real window (main frame, list, first message's page):",
              velmora::bench::RunInChild([&](int fd) { return Window(path, name, fd); }));
    }
    return 0;
}
