// Runs a measurement in a child process of its own, so that each figure starts
// from a fresh process and the peak resident memory is the measurement's alone.
#pragma once

#include <functional>
#include <string>

namespace velmora::bench {

struct ChildFigures {
    bool ok = false;
    std::string output;  // what the child wrote to its result channel
    long peakKib = 0;    // the child's peak resident memory
};

// `work` runs in the child and writes its figures as text to the given file
// descriptor; it returns the child's exit code (0 for success).
ChildFigures RunInChild(const std::function<int(int resultFd)>& work);

}  // namespace velmora::bench
