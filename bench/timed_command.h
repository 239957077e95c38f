// Runs another program with a time limit and measures its wall-clock time,
// its output thrown away.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::bench {

enum class RunOutcome { kFinished, kFailed, kTimedOut, kMissing };

struct CommandRun {
    RunOutcome outcome = RunOutcome::kFailed;
    double seconds = 0;
    int exitStatus = 0;  // for kFailed: the exit code, or 128 + the signal that ended it
};

// Runs `words` (the program, found on PATH unless it names a path, then its
// arguments) with standard output and error going nowhere. A run that takes
// longer than `timeoutSeconds` is killed, with whatever it started.
CommandRun RunTimedCommand(const std::vector<std::string>& words, double timeoutSeconds);

// The median of the run times; 0 when there are none.
double Median(std::vector<double> seconds);

// The folder of the running program, where the tool built with it lies.
std::filesystem::path ProgramFolder();

}  // namespace velmora::bench
