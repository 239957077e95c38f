// The same mail indexed by `notmuch new` and searched by `notmuch search`,
// each run as a program and timed from outside: the anchor the search
// index's speed is measured against. The mail reaches it as the .eml files
// `velmora-cli convert` writes, made once and kept between runs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace velmora::bench {

struct AnchorSettings {
    std::filesystem::path store;
    std::filesystem::path folder;  // holds the .eml files, notmuch's database and its settings
    std::filesystem::path cli;     // velmora-cli, which writes the .eml files and searches ours
    std::uint64_t ourMessages = 0;
    double ourSeconds = 0;  // our index build
    std::uintmax_t ourIndexBytes = 0;
    std::vector<std::string> queries;  // in words both query languages read alike
    int runs = 11;
};

// Prints notmuch's index build beside ours (messages a second, the goal of
// twice its rate, the index sizes), then each query as a whole command on
// either side: `notmuch search` against `velmora-cli search` on its warm index.
// False, said on standard error, when the .eml files or notmuch's index cannot be made.
bool RunNotmuchAnchor(const AnchorSettings& settings);

}  // namespace velmora::bench
