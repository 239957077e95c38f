#include "bench/timed_command.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;

bool IsProgram(const std::filesystem::path& path) {
    return ::access(path.c_str(), X_OK) == 0 && !std::filesystem::is_directory(path);
}

// Whether the program a command names can be started at all.
bool CanRun(const std::string& program) {
    if (program.find('/') != std::string::npos) return IsProgram(program);
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && IsProgram(std::filesystem::path(folder) / program)) return true;
    }
    return false;
}

[[noreturn]] void ExecQuietly(const std::vector<std::string>& words) {
    ::setpgid(0, 0);  // a group of its own, so that a timeout ends its helpers too
    const int nowhere = ::open("/dev/null", O_RDWR);
    ::dup2(nowhere, STDIN_FILENO);
    ::dup2(nowhere, STDOUT_FILENO);
    ::dup2(nowhere, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

CommandRun Outcome(int status, double seconds) {
    CommandRun run;
    run.seconds = seconds;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        run.outcome = RunOutcome::kFinished;
    } else {
        run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return run;
}

}  // namespace

CommandRun RunTimedCommand(const std::vector<std::string>& words, double timeoutSeconds) {
    if (words.empty() || !CanRun(words[0])) return {RunOutcome::kMissing};
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child < 0) return {};
    if (child == 0) ExecQuietly(words);
    ::setpgid(child, child);
    const auto deadline = start + std::chrono::duration<double>(timeoutSeconds);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(-child, SIGKILL);
            ::waitpid(child, &status, 0);
            return {RunOutcome::kTimedOut, timeoutSeconds};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return Outcome(status, std::chrono::duration<double>(Clock::now() - start).count());
}

double Median(std::vector<double> seconds) {
    if (seconds.empty()) return 0;
    std::sort(seconds.begin(), seconds.end());
    const std::size_t middle = seconds.size() / 2;
    return seconds.size() % 2 == 1 ? seconds[middle] : (seconds[middle - 1] + seconds[middle]) / 2;
}

std::filesystem::path ProgramFolder() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

}  // namespace velmora::bench
