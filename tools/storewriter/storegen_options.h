// Command-line options of storegen, the synthetic store generator.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/storewriter/synthetic_store.h"
#include "tools/storewriter/writer_options.h"

namespace velmora::storewriter {

struct StoregenOptions {
    std::string output;
    WriterOptions writer;
    SyntheticStoreShape shape;
    bool rawNodes = false;  // the node database alone: pseudo-random node and subnode data
    bool help = false;
};

// Parses the arguments after the program name. On a bad argument returns
// nothing and sets `error` to a one-line reason.
std::optional<StoregenOptions> ParseStoregenOptions(const std::vector<std::string>& args,
                                                    std::string& error);

const char* StoregenUsage();

}  // namespace velmora::storewriter
