// Store-wide search on a store of our writer's: how many messages a second
// the index is built at (through the engine library, as velmora-cli search
// builds it), how large the index is beside the store, and how long queries
// take on the warm index. Usage: search_bench [--store FILE] [--folders N]
// [--messages N] [--notmuch FOLDER]. The store is written first (N folders of
// N messages, 2 KB bodies, recipients and an attachment each) when the file
// is not there; without --store, into a temporary folder, and removed again.
// With --notmuch, the same mail is indexed and searched by notmuch beside
// ours (see notmuch_anchor.h), its files kept in FOLDER for the next run.
#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/elapsed.h"
#include "bench/folder_size.h"
#include "bench/notmuch_anchor.h"
#include "bench/timed_command.h"
#include "tools/velmora-cli/store_session.h"
#include "viewer/data/search_index/index_builder.h"
#include "viewer/data/search_index/index_location.h"
#include "viewer/data/search_index/index_search.h"
#include "viewer/data/search_index/query_parser.h"

namespace {

namespace search = velmora::search;
using velmora::bench::Clock;
using velmora::bench::SecondsSince;

// Queries in words notmuch reads alike: they are raced against it too.
const std::vector<std::string> kSharedQueries = {"meeting", "from:alice", "\"project report\"",
                                                 "rep*"};
const std::vector<std::string> kOwnQueries = {"date:2030-01-01.. has:attachment",
                                              "meeting OR report -is:unread"};

bool WriteStore(const std::filesystem::path& store, int folders, int messages) {
    std::printf("writing %d x %d messages to %s\n", folders, messages, store.c_str());
    std::fflush(stdout);
    const auto start = Clock::now();
    const velmora::bench::CommandRun run = velmora::bench::RunTimedCommand(
        {(velmora::bench::ProgramFolder() / "storegen").string(), "--output", store.string(),
         "--folders", std::to_string(folders), "--messages", std::to_string(messages),
         "--body-size", "2000", "--recipients", "3", "--attachments", "1"},
        24 * 3600);
    if (run.outcome != velmora::bench::RunOutcome::kFinished) {
        std::fprintf(stderr, "storegen could not write %s\n", store.c_str());
        return false;
    }
    std::printf("written in %.1f s\n", SecondsSince(start));
    return true;
}

// The folder velmora-cli search would use for the store, emptied: the bench's
// index is the tool's, so that the tool's own search finds it warm.
std::optional<std::filesystem::path> EmptyIndexFolder(const search::StoreStamp& stamp,
                                                      std::string& error) {
    const auto root = search::SearchIndexRoot(error);
    if (!root) return std::nullopt;
    if (const auto folder = search::StoreIndexFolder(*root, stamp, error))
        std::filesystem::remove_all(*folder);
    return search::StoreIndexFolder(*root, stamp, error);
}

// The median time of the query over several runs, printed with its goal and hit count.
void TimeQuery(const std::filesystem::path& index, const std::string& text, int runs) {
    const auto parsed = search::ParseQuery(text);
    if (!parsed.query) {
        std::printf("%s: %s\n", text.c_str(), parsed.error.c_str());
        return;
    }
    std::vector<double> seconds;
    std::size_t hits = 0;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        hits = search::SearchIndex(index, *parsed.query, 50).hits.size();
        seconds.push_back(SecondsSince(start));
    }
    const double ms = velmora::bench::Median(seconds) * 1000;
    std::printf("query %-34s %7.2f ms (median of %d, first 50 hits: %zu)%s\n", text.c_str(), ms,
                runs, hits, ms <= 50 ? "" : " over the 50 ms goal");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Search index build and query figures"};
    std::filesystem::path store;
    std::filesystem::path notmuchFolder;
    int folders = 20;
    int messages = 1000;
    int runs = 21;
    app.add_option("--store", store, "Store to index, written first when it is not there");
    app.add_option("--folders", folders, "Folders of a store written here")
        ->check(CLI::PositiveNumber);
    app.add_option("--messages", messages, "Messages per folder of a store written here")
        ->check(CLI::PositiveNumber);
    app.add_option("--runs", runs, "Timed runs of each query")->check(CLI::Range(1, 1000));
    app.add_option("--notmuch", notmuchFolder,
                   "Race notmuch on the same mail, its .eml files and database kept here");
    CLI11_PARSE(app, argc, argv);
    // Each figure is seen as soon as it is known, also when the output goes to a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const auto work = std::filesystem::temp_directory_path() / "velmora-search-bench";
    // The index and the tool's scratch files go to the bench's folder, not the user's cache.
    std::filesystem::create_directories(work / "cache");
    ::setenv("XDG_CACHE_HOME", (work / "cache").c_str(), 1);
    const bool temporaryStore = store.empty();
    if (temporaryStore) store = work / "store.pst";
    if (!std::filesystem::exists(store) && !WriteStore(store, folders, messages)) return 1;
    store = std::filesystem::absolute(store);

    std::string error;
    const auto stamp = search::ReadStoreStamp(store, error);
    const auto index = stamp ? EmptyIndexFolder(*stamp, error) : std::nullopt;
    velmora::cli::StoreSession session;
    if (!index || !session.Open(store, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    search::IndexOptions options;
    options.messageCount = [&](FolderEntry* folder) { return session.MessageCount(folder); };
    const auto start = Clock::now();
    const auto outcome = search::BuildIndex(*index, *stamp, session.Binding(), options);
    const double seconds = SecondsSince(start);
    if (!outcome.error.empty()) {
        std::fprintf(stderr, "%s\n", outcome.error.c_str());
        return 1;
    }
    const auto storeBytes = std::filesystem::file_size(store);
    const auto indexBytes = velmora::bench::FolderBytes(*index);
    std::printf("indexed %llu messages in %.1f s: %.0f messages/s\n",
                static_cast<unsigned long long>(outcome.indexed), seconds,
                static_cast<double>(outcome.indexed) / seconds);
    const double share = static_cast<double>(indexBytes) / static_cast<double>(storeBytes);
    std::printf("store %.1f MiB, index %.1f MiB (%.0f%% of the store; goal <= 50%%: %s)\n",
                static_cast<double>(storeBytes) / (1 << 20),
                static_cast<double>(indexBytes) / (1 << 20), 100 * share,
                share <= 0.5 ? "met" : "missed");
    for (const auto* queries : {&kSharedQueries, &kOwnQueries}) {
        for (const std::string& query : *queries) TimeQuery(*index, query, runs);
    }
    bool raced = true;
    if (!notmuchFolder.empty()) {
        velmora::bench::AnchorSettings anchor;
        anchor.store = store;
        anchor.folder = std::filesystem::absolute(notmuchFolder);
        anchor.cli = velmora::bench::ProgramFolder() / "velmora-cli";
        anchor.ourMessages = outcome.indexed;
        anchor.ourSeconds = seconds;
        anchor.ourIndexBytes = indexBytes;
        anchor.queries = kSharedQueries;
        raced = velmora::bench::RunNotmuchAnchor(anchor);
    }
    std::filesystem::remove_all(*index);
    if (temporaryStore) std::filesystem::remove(store);
    return raced ? 0 : 1;
}
