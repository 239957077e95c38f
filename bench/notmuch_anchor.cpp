#include "bench/notmuch_anchor.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include "bench/folder_size.h"
#include "bench/timed_command.h"

namespace velmora::bench {
namespace {

// Long enough for a quarter of a million messages on a loaded two-core machine.
constexpr double kTimeoutSeconds = 4 * 3600;

std::filesystem::path MailFolder(const AnchorSettings& settings) {
    return settings.folder / "eml";
}

std::filesystem::path ConfigFile(const AnchorSettings& settings) {
    return settings.folder / "notmuch-config";
}

std::vector<std::string> Notmuch(const AnchorSettings& settings,
                                 std::initializer_list<std::string> words) {
    std::vector<std::string> line{"notmuch", "--config=" + ConfigFile(settings).string()};
    line.insert(line.end(), words);
    return line;
}

// The .eml files of the store, written once: a marker says they are whole.
bool EnsureMailFiles(const AnchorSettings& settings) {
    const std::filesystem::path done = settings.folder / "eml.complete";
    if (std::filesystem::exists(done)) return true;
    std::filesystem::create_directories(MailFolder(settings));
    const CommandRun run =
        RunTimedCommand({settings.cli.string(), "convert", settings.store.string(), "--format",
                         "eml", "--output", MailFolder(settings).string(), "--force"},
                        kTimeoutSeconds);
    if (run.outcome != RunOutcome::kFinished) {
        std::cerr << "velmora-cli convert --format eml did not finish\n";
        return false;
    }
    std::printf("velmora-cli convert --format eml: %.1f s (made once, not raced)\n", run.seconds);
    std::ofstream(done) << "\n";
    return true;
}

// notmuch's settings: the .eml folder as its mail root and database, nothing
// asked of a user, no flags synchronised into file names.
void WriteConfig(const AnchorSettings& settings) {
    std::ofstream(ConfigFile(settings)) << "[database]\npath=" << MailFolder(settings).string()
                                        << "\n[user]\nname=Bench\nprimary_email=bench@example.org\n"
                                           "[new]\ntags=inbox;\nignore=\n"
                                           "[search]\nexclude_tags=\n"
                                           "[maildir]\nsynchronize_flags=false\n";
}

// What `notmuch count` prints for all messages; 0 when it cannot be read.
std::uint64_t NotmuchMessageCount(const AnchorSettings& settings) {
    const std::string command =
        "notmuch '--config=" + ConfigFile(settings).string() + "' count '*'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return 0;
    unsigned long long count = 0;
    if (std::fscanf(pipe, "%llu", &count) != 1) count = 0;
    ::pclose(pipe);
    return count;
}

// A fresh database built from every .eml file; its time, or nothing on failure.
bool IndexWithNotmuch(const AnchorSettings& settings, double& seconds) {
    std::filesystem::remove_all(MailFolder(settings) / ".notmuch");
    const CommandRun run = RunTimedCommand(Notmuch(settings, {"new", "--quiet"}), kTimeoutSeconds);
    if (run.outcome == RunOutcome::kMissing) {
        std::cerr << "notmuch is not installed\n";
        return false;
    }
    if (run.outcome != RunOutcome::kFinished) {
        std::cerr << "notmuch new did not finish\n";
        return false;
    }
    seconds = run.seconds;
    return true;
}

void PrintIndexRace(const AnchorSettings& settings, double notmuchSeconds) {
    const std::uint64_t theirMessages = NotmuchMessageCount(settings);
    const double ours = static_cast<double>(settings.ourMessages) / settings.ourSeconds;
    const double theirs = static_cast<double>(theirMessages) / notmuchSeconds;
    std::printf("notmuch new: %llu messages in %.1f s: %.0f messages/s\n",
                static_cast<unsigned long long>(theirMessages), notmuchSeconds, theirs);
    std::printf("index rate ours/notmuch: %.2fx (goal >= 2x: %s)\n", ours / theirs,
                ours >= 2 * theirs ? "met" : "missed");
    const double theirBytes = static_cast<double>(FolderBytes(MailFolder(settings) / ".notmuch"));
    std::printf("index size: ours %.1f MiB, notmuch %.1f MiB\n",
                static_cast<double>(settings.ourIndexBytes) / (1 << 20), theirBytes / (1 << 20));
}

// Each query as a whole command on either side, alternately, after one
// warm-up run of each, so that a change in the machine's load falls on both.
void RaceQuery(const AnchorSettings& settings, const std::string& query) {
    const std::vector<std::string> ours{
        settings.cli.string(), "search", settings.store.string(), query, "--limit", "50"};
    const std::vector<std::string> theirs =
        Notmuch(settings, {"search", "--output=messages", "--limit=50", query});
    std::vector<double> ourSeconds, theirSeconds;
    for (int i = 0; i <= settings.runs; ++i) {
        const CommandRun our = RunTimedCommand(ours, kTimeoutSeconds);
        const CommandRun their = RunTimedCommand(theirs, kTimeoutSeconds);
        if (our.outcome != RunOutcome::kFinished || their.outcome != RunOutcome::kFinished) {
            std::printf("command %-24s failed on %s\n", query.c_str(),
                        our.outcome != RunOutcome::kFinished ? "our side" : "notmuch's side");
            return;
        }
        if (i == 0) continue;
        ourSeconds.push_back(our.seconds);
        theirSeconds.push_back(their.seconds);
    }
    std::printf("command %-24s velmora-cli search %7.1f ms, notmuch search %7.1f ms\n",
                query.c_str(), Median(ourSeconds) * 1000, Median(theirSeconds) * 1000);
}

}  // namespace

bool RunNotmuchAnchor(const AnchorSettings& settings) {
    std::filesystem::create_directories(settings.folder);
    if (!EnsureMailFiles(settings)) return false;
    WriteConfig(settings);
    double notmuchSeconds = 0;
    if (!IndexWithNotmuch(settings, notmuchSeconds)) return false;
    PrintIndexRace(settings, notmuchSeconds);
    for (const std::string& query : settings.queries) RaceQuery(settings, query);
    return true;
}

}  // namespace velmora::bench
