// The walks on a large mail store: the all-folders enumeration, the message
// enumeration of one folder of 250,000 messages (once, and repeated as the
// viewer does on every click, with the disk its value files take), reading the
// property context of every message node, and the folder export of the whole
// store. Each figure is taken in a fresh child process on a warm page cache;
// stores are kept between runs.
#include <sys/stat.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "bench/child_run.h"
#include "bench/mail_store.h"
#include "bench/page_cache.h"
#include "common/utf16_text.h"
#include "engine/interface/engine_api.h"
#include "engine/storage/context_reader.h"
#include "engine/storage/node_database.h"

namespace {

namespace sw = velmora::storewriter;
using Clock = std::chrono::steady_clock;

// The store's shape, and how often the big folder is enumerated in one session.
struct Shape : velmora::bench::MailStoreShape {
    int enumerations = 5;  // of the big folder, one after the other
};

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// An opened, parsed store in the static engine core.
template <typename V>
struct OpenStore {
    using Api = corvex::EngineApi<V>;
    EngineHandle* handle = nullptr;
    OpenStore(const std::filesystem::path& store, const std::filesystem::path& work) {
        const std::u16string path = common::Utf8ToUtf16(store.string());
        Api::Create(path.c_str(), &handle, common::Utf8ToUtf16(work.string()).c_str());
        OpenStatus status{};
        Api::Parse(path.c_str(), handle, &status);
    }
    ~OpenStore() {
        if (handle != nullptr) Api::Delete(handle);
    }
};

// The folder with the most messages below the top folder.
FolderEntry* BiggestFolder(FolderList* list) {
    FolderEntry* best = nullptr;
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        FolderEntry* entry = list->items[i];
        if (best == nullptr || entry->children->count > best->children->count) best = entry;
    }
    return best != nullptr && best->children->count > 0 ? best->children->items[0] : nullptr;
}

// The value files in a working folder: how many, and the disk they take.
struct DiskUse {
    std::size_t files = 0;
    double mib = 0;
};

DiskUse ValueFileUse(const std::filesystem::path& work) {
    DiskUse use;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(work / "GUIDTempFiles", error)) {
        struct stat status {};
        if (::stat(entry.path().c_str(), &status) != 0) continue;
        ++use.files;
        use.mib += static_cast<double>(status.st_blocks) * 512 / 1048576.0;
    }
    return use;
}

// The resident memory of this process now, from the kernel's status file.
long ResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

// Reads the folder again as the viewer does: one call that empties its list,
// then batches of 2,000 until one comes back short. Returns the seconds taken.
template <typename V>
double ReadInBatches(EngineHandle* handle, FolderEntry& folder) {
    const auto start = Clock::now();
    corvex::EngineApi<V>::EnumChildMails(&folder, handle, UINT32_MAX, 1);
    folder.mails->batchCount = 2000;
    std::uint32_t read = 0;
    do {
        read = folder.mails->entries.count;
        corvex::EngineApi<V>::EnumChildMailsNext(&folder, handle);
    } while (folder.mails->entries.count - read == 2000);
    return Since(start);
}

// Reads the values held in files of the first `count` messages as the viewer
// does when it shows them: the engine writes each file then. Returns the seconds taken.
template <typename V>
double ReadValuesOfFirst(EngineHandle* handle, const FolderEntry& folder, std::uint32_t count) {
    const auto ensureAll = [handle](const ExportedPropMap* map) {
        for (std::uint32_t i = 0; map != nullptr && i < map->count; ++i) {
            if (map->items[i]->inFile == 1)
                corvex::EngineApi<V>::EnsureValueFile(handle, map->items[i]);
        }
    };
    const auto start = Clock::now();
    for (std::uint32_t m = 0; m < count && m < folder.mails->entries.count; ++m) {
        const MailEntry& mail = *folder.mails->entries.items[m];
        ensureAll(mail.props);
        for (std::uint32_t a = 0; a < mail.attachments->count; ++a)
            ensureAll(mail.attachments->items[a]->object);
    }
    return Since(start);
}

constexpr std::uint32_t kMessagesShown = 1000;

template <typename V>
int MeasureWalks(const std::filesystem::path& store, const std::filesystem::path& work,
                 int enumerations, int fd) {
    OpenStore<V> open(store, work);
    const long openKib = ResidentKib();
    auto start = Clock::now();
    corvex::EngineApi<V>::EnumAllFolders(open.handle);
    const double allFolders = Since(start);
    FolderEntry* big = BiggestFolder(open.handle->rootFolders);
    if (big == nullptr) return 2;
    start = Clock::now();
    corvex::EngineApi<V>::EnumChildMails(big, open.handle, 0, 0);
    const double mails = Since(start);
    const DiskUse once = ValueFileUse(work);
    const double shown = ReadValuesOfFirst<V>(open.handle, *big, kMessagesShown);
    start = Clock::now();
    for (int i = 1; i < enumerations; ++i)
        corvex::EngineApi<V>::EnumChildMails(big, open.handle, 0, 0);
    const double again = enumerations > 1 ? Since(start) / (enumerations - 1) : 0;
    const double batched = ReadInBatches<V>(open.handle, *big);
    const DiskUse last = ValueFileUse(work);
    ::dprintf(fd, "%.3f %.3f %u %zu %.1f %zu %.1f %.3f %ld %.3f %.3f\n", allFolders, mails,
              big->mails->entries.count, once.files, once.mib, last.files, last.mib, again, openKib,
              batched, shown);
    // The child ends without deleting the session: that would unlink the
    // folder's 250,000 value files now, and the next variant would create its
    // own right after a mass deletion (see Scratch). They go when the run ends.
    open.handle = nullptr;
    return 0;
}

template <typename V>
int MeasureContexts(const std::filesystem::path& store, int fd) {
    corvex::NodeDatabase<V> database;
    std::string error;
    if (!database.Open(store.string(), error)) return 2;
    database.Load(corvex::StopToken{});
    const corvex::ContextReader<V> contexts(database.Reader());
    const auto start = Clock::now();
    std::size_t messages = 0;
    for (const auto& [parent, node] : database.Walker().messageChildren.All()) {
        messages += contexts.NodeProperties(*node).Size() > 0 ? 1 : 0;
    }
    ::dprintf(fd, "%.3f %zu\n", Since(start), messages);
    return 0;
}

template <typename V>
int MeasureExport(const std::filesystem::path& store, const std::filesystem::path& work, int fd) {
    OpenStore<V> open(store, work);
    const auto target = work / "export";
    const auto start = Clock::now();
    corvex::EngineApi<V>::SaveFolderHierarchy(
        0x122, 0, common::Utf8ToUtf16(target.string()).c_str(), open.handle);
    ::dprintf(fd, "%.3f\n", Since(start));
    return 0;
}

double TimeCommand(const std::string& command) {
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    return status == 0 ? Since(start) : -1;
}

// Scratch folders of one bench run. Everything is deleted only when the run
// ends: on file systems that avoid reusing freshly freed inodes, creating
// 250,000 value files right after deleting as many costs several times more
// than creating them on a quiet disk, which would measure the bench, not us.
class Scratch {
  public:
    explicit Scratch(std::filesystem::path root) : root_(std::move(root)) {
        std::filesystem::remove_all(root_);
    }
    ~Scratch() { std::filesystem::remove_all(root_); }
    std::filesystem::path Fresh(const std::string& name) const {
        const auto path = root_ / name;
        std::filesystem::create_directories(path);
        return path;
    }

  private:
    std::filesystem::path root_;
};

template <typename V>
void ReportWalks(const char* name, const std::filesystem::path& store, const Shape& shape,
                 const Scratch& scratch) {
    velmora::bench::WarmPageCache(store);
    const double mib = std::filesystem::file_size(store) / 1048576.0;
    const auto work = scratch.Fresh(std::string(name) + "-walks");
    std::filesystem::create_directories(work / "GUIDTempFiles");
    const auto walks = velmora::bench::RunInChild(
        [&](int fd) { return MeasureWalks<V>(store, work, shape.enumerations, fd); });
    double allFolders = 0, mails = 0, onceMib = 0, lastMib = 0, again = 0;
    unsigned count = 0;
    std::size_t onceFiles = 0, lastFiles = 0;
    long openKib = 0;
    double batched = 0, shown = 0;
    std::sscanf(walks.output.c_str(), "%lf %lf %u %zu %lf %zu %lf %lf %ld %lf %lf", &allFolders,
                &mails, &count, &onceFiles, &onceMib, &lastFiles, &lastMib, &again, &openKib,
                &batched, &shown);
    std::printf(
        "%s: store %.0f MiB; all folders %.3f s; %u messages of the big folder in %.2f s (%.0f/s), "
        "peak RSS %.0f MiB (%.0f MiB of it the opened store)\n",
        name, mib, allFolders, count, mails, count / mails, walks.peakKib / 1024.0,
        openKib / 1024.0);
    std::printf(
        "%s: value files after 1 enumeration of the big folder: %zu files, %.1f MiB on disk; "
        "after %d and a read in batches: %zu files, %.1f MiB (each further enumeration %.2f s; "
        "read again in batches of 2,000 as the viewer does: %.2f s)\n",
        name, onceFiles, onceMib, shape.enumerations, lastFiles, lastMib, again, batched);
    std::printf(
        "%s: the values of the first %u messages read as they are shown (their files written "
        "then) in %.3f s (%.2f ms a message)\n",
        name, std::min(kMessagesShown, count), shown,
        shown * 1000 / std::min(kMessagesShown, count));
    const auto contexts =
        velmora::bench::RunInChild([&](int fd) { return MeasureContexts<V>(store, fd); });
    double seconds = 0;
    std::size_t read = 0;
    std::sscanf(contexts.output.c_str(), "%lf %zu", &seconds, &read);
    std::printf("%s: property contexts of %zu message nodes in %.2f s (%.0f/s)\n", name, read,
                seconds, read / seconds);
}

template <typename V>
void ReportExports(const char* name, const std::filesystem::path& store, const Scratch& scratch) {
    velmora::bench::WarmPageCache(store);
    const double mb = std::filesystem::file_size(store) / 1e6;
    const auto work = scratch.Fresh(std::string(name) + "-export");
    const auto exported =
        velmora::bench::RunInChild([&](int fd) { return MeasureExport<V>(store, work, fd); });
    const double ours = std::atof(exported.output.c_str());
    std::printf("%s: folder export of the whole store in %.1f s (%.1f MB/s of store)\n", name, ours,
                mb / ours);
    // The reader writes into a folder of its own that must not exist yet.
    const auto reader = scratch.Fresh(std::string(name) + "-reader") / "export";
    const double theirs = TimeCommand("pffexport -q -f all -t '" + reader.string() + "' '" +
                                      store.string() + "' >/dev/null 2>&1");
    if (theirs > 0) {
        std::printf("%s: independent reader's full export in %.1f s (%.1f MB/s of store)\n", name,
                    theirs, mb / theirs);
    } else {
        std::printf("%s: independent reader's full export failed or is not installed\n", name);
    }
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Times the folder and message walks and the folder export on a large mail store."};
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmora-bench";
    Shape shape;
    std::filesystem::path work;
    bool exportToo = false;
    std::string only;
    app.add_option("--folder", folder, "Where the stores are written and kept between runs");
    app.add_option("--work", work,
                   "Where value files and exports are written (default: FOLDER/work); a folder "
                   "in memory here tells the engine's time from the disk's");
    app.add_option("--big-folder", shape.bigFolderMessages, "Messages in the big folder");
    app.add_option("--folders", shape.folders, "Folders below the top folder");
    app.add_option("--enumerations", shape.enumerations,
                   "Enumerations of the big folder, one after the other (disk use after the "
                   "first and the last)")
        ->check(CLI::Range(1, 100));
    app.add_flag("--export", exportToo,
                 "Also time the folder export of the whole store (writes a lot)");
    app.add_option("--variant", only, "Only this variant")->check(CLI::IsMember({"unicode", "4k"}));
    CLI11_PARSE(app, argc, argv);
    std::filesystem::create_directories(folder);
    for (const sw::Variant variant : {sw::Variant::kUnicode, sw::Variant::kUnicode4K}) {
        if (!velmora::bench::EnsureMailStore(folder, variant, shape)) return 1;
    }
    const auto unicode = velmora::bench::MailStorePath(folder, sw::Variant::kUnicode, shape);
    const auto fourK = velmora::bench::MailStorePath(folder, sw::Variant::kUnicode4K, shape);
    const Scratch scratch(work.empty() ? folder / "work" : work / "velmora-walk-bench");
    const bool unicodeToo = only != "4k", fourKToo = only != "unicode";
    if (unicodeToo) ReportWalks<corvex::UnicodeTraits>("unicode", unicode, shape, scratch);
    if (fourKToo) ReportWalks<corvex::Unicode4KTraits>("4k", fourK, shape, scratch);
    if (!exportToo) return 0;
    if (unicodeToo) ReportExports<corvex::UnicodeTraits>("unicode", unicode, scratch);
    if (fourKToo) ReportExports<corvex::Unicode4KTraits>("4k", fourK, scratch);
    return 0;
}
