// Store-wide search on a store of our writer's: how many messages a second
// the index is built at (through the engine library, as velmora-cli search
// builds it), how large the index is beside the store, and how long queries
// take on the warm index. Usage: search_bench [--store FILE] [--folders N]
// [--messages N]; without --store, writes one (N folders of N messages,
// 2 KB bodies, recipients and an attachment each) into a temporary folder.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/velmora-cli/store_session.h"
#include "viewer/data/search_index/index_builder.h"
#include "viewer/data/search_index/index_search.h"
#include "viewer/data/search_index/query_parser.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::uintmax_t FolderBytes(const std::filesystem::path& folder) {
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        total += entry.file_size();
    return total;
}

// Prints the median time of the query over several runs and its hit count.
void TimeQuery(const std::filesystem::path& index, const std::string& text) {
    const auto parsed = velmora::search::ParseQuery(text);
    if (!parsed.query) {
        std::printf("%s: %s\n", text.c_str(), parsed.error.c_str());
        return;
    }
    constexpr int kRuns = 21;
    std::vector<double> times;
    std::size_t hits = 0;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = Clock::now();
        hits = velmora::search::SearchIndex(index, *parsed.query, 50).hits.size();
        times.push_back(SecondsSince(start) * 1000);
    }
    std::sort(times.begin(), times.end());
    std::printf("query %-28s %6.2f ms (median of %d, first 50 hits: %zu)\n", text.c_str(),
                times[kRuns / 2], kRuns, hits);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Search index build and query figures"};
    std::string storeOption;
    int folders = 20;
    int messages = 1000;
    app.add_option("--store", storeOption, "Store to index (default: one written by storegen)");
    app.add_option("--folders", folders);
    app.add_option("--messages", messages);
    CLI11_PARSE(app, argc, argv);

    const auto work = std::filesystem::temp_directory_path() / "velmora-search-bench";
    std::filesystem::create_directories(work);
    std::filesystem::path store = storeOption;
    if (store.empty()) {
        store = work / "store.pst";
        const std::string command =
            (std::filesystem::path(argv[0]).parent_path() / "storegen").string() + " --output " +
            store.string() + " --folders " + std::to_string(folders) + " --messages " +
            std::to_string(messages) +
            " --body-size 2000 --recipients 3 --attachments 1 >/dev/null";
        if (std::system(command.c_str()) != 0) return 1;
    }
    std::string error;
    const auto stamp = velmora::search::ReadStoreStamp(store, error);
    velmora::cli::StoreSession session;
    if (!stamp || !session.Open(store, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto index = work / "index";
    std::filesystem::remove_all(index);
    velmora::search::IndexOptions options;
    options.messageCount = [&](FolderEntry* folder) { return session.MessageCount(folder); };
    const auto start = Clock::now();
    const auto outcome = velmora::search::BuildIndex(index, *stamp, session.Binding(), options);
    const double seconds = SecondsSince(start);
    if (!outcome.error.empty()) {
        std::fprintf(stderr, "%s\n", outcome.error.c_str());
        return 1;
    }
    const double storeMiB = static_cast<double>(std::filesystem::file_size(store)) / (1 << 20);
    const double indexMiB = static_cast<double>(FolderBytes(index)) / (1 << 20);
    std::printf("indexed %llu messages in %.1f s: %.0f messages/s\n",
                static_cast<unsigned long long>(outcome.indexed), seconds,
                static_cast<double>(outcome.indexed) / seconds);
    std::printf("store %.1f MiB, index %.1f MiB (%.0f%% of the store)\n", storeMiB, indexMiB,
                100.0 * indexMiB / storeMiB);
    for (const char* query : {"meeting", "from:alice", "\"project report\"", "rep*",
                              "date:2030-01-01.. has:attachment", "meeting OR report -is:unread"})
        TimeQuery(index, query);
    std::filesystem::remove_all(work);
    return 0;
}
