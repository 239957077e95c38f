// Our command-line tool against the independent readers installed on this
// machine, on the mail stores our writer makes: listing every message, the
// full export, a dump of every item, and every folder written as an mbox
// file (on the 4K store, which the readers cannot open, ours runs alone).
// Each pair runs alternately (ours, theirs, ours, theirs...) after one
// warm-up run of each, so that a change in the machine's load falls on both
// sides alike; the figures are the medians and the median of the pairwise
// ratios (theirs / ours).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/mail_store.h"
#include "bench/page_cache.h"
#include "bench/timed_command.h"

namespace {

namespace sw = velmora::storewriter;
using velmora::bench::CommandRun;
using velmora::bench::Median;
using velmora::bench::RunOutcome;

// One command line; "{store}" and "{out}" in its words are replaced by the
// store and by a fresh output folder of the run.
using CommandLine = std::vector<std::string>;

struct Contest {
    const char* name;
    CommandLine ours;
    CommandLine peer;
    double goal;  // how many times faster ours should be; 0: the ratio is only reported
};

struct Settings {
    std::filesystem::path folder;
    std::filesystem::path tool;
    int runs = 5;
    double timeoutSeconds = 600;
    mutable int outputs = 0;  // output folders handed out so far
};

CommandLine Expand(const CommandLine& line, const std::filesystem::path& store,
                   const std::filesystem::path& out) {
    CommandLine expanded;
    for (std::string word : line) {
        for (const auto& [mark, text] :
             {std::pair{"{store}", store.string()}, std::pair{"{out}", out.string()}}) {
            if (const auto at = word.find(mark); at != std::string::npos)
                word.replace(at, std::string_view(mark).size(), text);
        }
        expanded.push_back(std::move(word));
    }
    return expanded;
}

// Every run's output folder, kept until the race ends.
std::filesystem::path OutputRoot(const Settings& settings) {
    return settings.folder / "race-out";
}

// One run in an output folder of its own. Nothing is deleted between runs:
// on a disk that discards freed blocks, creating files right after hundreds
// of thousands were deleted costs several times more, and the deletion of one
// side's output would slow down whichever side runs next.
CommandRun RunOnce(const CommandLine& line, const std::filesystem::path& store,
                   const Settings& settings) {
    const auto out = OutputRoot(settings) / std::to_string(++settings.outputs);
    std::filesystem::create_directories(out);
    return velmora::bench::RunTimedCommand(Expand(line, store, out), settings.timeoutSeconds);
}

// Why a side has no figure, or empty when it has one.
std::string FailureText(const CommandRun& run, double timeoutSeconds) {
    switch (run.outcome) {
        case RunOutcome::kFinished:
            return "";
        case RunOutcome::kMissing:
            return "not installed";
        case RunOutcome::kTimedOut:
            return "timed out after " + std::to_string(static_cast<int>(timeoutSeconds)) + " s";
        case RunOutcome::kFailed:
            return "failed (exit status " + std::to_string(run.exitStatus) + ")";
    }
    return "failed";
}

struct Side {
    std::vector<double> seconds;
    std::string failure;  // the first failure; the side is not run again after it
};

void RunSide(const CommandLine& line, const std::filesystem::path& store, const Settings& settings,
             Side& side) {
    if (!side.failure.empty()) return;
    const CommandRun run = RunOnce(line, store, settings);
    side.failure = FailureText(run, settings.timeoutSeconds);
    if (side.failure.empty()) side.seconds.push_back(run.seconds);
}

std::string SideText(const Side& side) {
    if (!side.failure.empty()) return side.failure;
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s", Median(side.seconds));
    return text;
}

void Race(const Contest& contest, const std::filesystem::path& store, const Settings& settings) {
    Side ours, peer, warmOurs, warmPeer;
    RunSide(contest.ours, store, settings, warmOurs);
    RunSide(contest.peer, store, settings, warmPeer);
    ours.failure = warmOurs.failure;
    peer.failure = warmPeer.failure;
    for (int i = 0; i < settings.runs; ++i) {
        RunSide(contest.ours, store, settings, ours);
        RunSide(contest.peer, store, settings, peer);
    }
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours.seconds.size() && i < peer.seconds.size(); ++i)
        ratios.push_back(peer.seconds[i] / ours.seconds[i]);
    std::string verdict = "-";
    char ratio[64] = "-";
    if (!ratios.empty()) {
        std::snprintf(ratio, sizeof ratio, "%.2f", Median(ratios));
        if (contest.goal > 0) verdict = Median(ratios) >= contest.goal ? "met" : "missed";
    }
    char goal[32] = "report";
    if (contest.goal > 0) std::snprintf(goal, sizeof goal, ">= %.0fx", contest.goal);
    std::printf("%-34s %-8s %-28s %-28s %-8s %-8s %s\n", store.filename().c_str(), contest.name,
                SideText(ours).c_str(), SideText(peer).c_str(), ratio, goal, verdict.c_str());
    std::fflush(stdout);
}

std::vector<Contest> Contests(const std::filesystem::path& tool) {
    const std::string cli = tool.string();
    return {
        {"list", {cli, "list", "{store}"}, {"lspst", "{store}"}, 5},
        {"export",
         {cli, "export", "{store}", "{out}"},
         {"pffexport", "-q", "-f", "all", "-t", "{out}/export", "{store}"},
         2},
        {"dump",
         {cli, "dump", "--json", "{store}"},
         {"readpst", "-q", "-D", "-o", "{out}", "{store}"},
         0},
        {"mbox",
         {cli, "convert", "{store}", "--format", "mbox", "--output", "{out}"},
         {"readpst", "-q", "-o", "{out}", "{store}"},
         2},
    };
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Races velmora-cli against the independent readers (lspst, pffexport, readpst) on the "
        "mail stores of the walk bench, Unicode and 4K, and prints the medians per pair."};
    Settings settings;
    settings.folder = std::filesystem::temp_directory_path() / "velmora-bench";
    settings.tool = velmora::bench::ProgramFolder() / "velmora-cli";
    bool quick = false;
    std::vector<std::string> tasks;  // empty: every contest
    velmora::bench::MailStoreShape small;
    small.folders = 20;
    small.bigFolderMessages = small.smallFolderMessages = 1000;
    velmora::bench::MailStoreShape big;
    app.add_option("--folder", settings.folder, "Where the stores are written and kept");
    app.add_option("--runs", settings.runs, "Timed runs of each side, after one warm-up")
        ->check(CLI::Range(1, 100));
    app.add_option("--timeout", settings.timeoutSeconds,
                   "Seconds a run may take before it is stopped");
    app.add_option("--big-folder", big.bigFolderMessages, "Messages in the big store's big folder");
    app.add_flag("--quick", quick, "Only the small store (20 folders x 1,000 messages)");
    app.add_option("--task", tasks, "Only these contests (list, export, dump, mbox)");
    CLI11_PARSE(app, argc, argv);

    // The tool's scratch and value files go to the bench's disk, not the home folder's.
    const auto cache = settings.folder / "race-cache";
    std::filesystem::create_directories(cache);
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);

    std::filesystem::remove_all(OutputRoot(settings));  // what a stopped race left
    std::vector<velmora::bench::MailStoreShape> shapes{small};
    if (!quick) shapes.push_back(big);
    std::printf("%-34s %-8s %-28s %-28s %-8s %-8s %s\n", "store", "task", "ours (median)",
                "peer (median)", "peer/ours", "goal", "");
    for (const auto& shape : shapes) {
        for (const sw::Variant variant : {sw::Variant::kUnicode, sw::Variant::kUnicode4K}) {
            if (!velmora::bench::EnsureMailStore(settings.folder, variant, shape)) return 1;
            const auto store = velmora::bench::MailStorePath(settings.folder, variant, shape);
            velmora::bench::WarmPageCache(store);
            for (const Contest& contest : Contests(settings.tool)) {
                if (tasks.empty() || std::ranges::count(tasks, contest.name) > 0)
                    Race(contest, store, settings);
            }
        }
    }
    std::filesystem::remove_all(OutputRoot(settings));
    return 0;
}
