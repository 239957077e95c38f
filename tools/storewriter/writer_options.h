// What a caller chooses about a store before writing it.
#pragma once

#include <cstdint>
#include <filesystem>

namespace velmora::storewriter {

enum class Variant { kAnsi, kUnicode, kUnicode4K };

struct WriterOptions {
    Variant variant = Variant::kUnicode;
    std::uint8_t cryptMethod = 1;  // 0 none, 1 permutation, 2 cyclic
    bool compress = true;          // 4K only: deflate blocks that shrink
    // Where blocks are spooled until WriteTo names the store; empty means the
    // system's temporary folder. Put it on the destination's file system to
    // make WriteTo a rename instead of a copy.
    std::filesystem::path spoolDirectory;
};

// One entry of a node's subnode tree.
struct SubnodeSpec {
    std::uint32_t nid;
    std::uint64_t bidData;
    std::uint64_t bidSub;
};

}  // namespace velmora::storewriter
