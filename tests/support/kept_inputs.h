// Replaying the inputs a fuzz target found faults with: the files kept in a
// regression folder, and the processor time a replay takes.
#pragma once

#include <filesystem>
#include <vector>

namespace velmora::test {

// Every file of `folder` but its README (*.md), sorted by name.
std::vector<std::filesystem::path> KeptInputs(const std::filesystem::path& folder);

// The processor time of this process so far, in seconds. Replays are bounded
// by it rather than by wall time: the tests run beside other work, and what
// must stay bounded is the work an input causes.
double ProcessSeconds();

}  // namespace velmora::test
