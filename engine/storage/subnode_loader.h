// Loads a node's subnode tree (SLBLOCK, SIBLOCK and nested trees) into memory.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/storage/block_reader.h"
#include "engine/storage/subnode_tree.h"

namespace corvex {

// Real subnode trees are two levels deep (SIBLOCK over SLBLOCKs) and nest a
// level or two; anything deeper is damage, and is not followed.
constexpr int kMaxSubnodeDepth = 8;

template <typename V>
class SubnodeLoader {
public:
    // `entryBudget` caps the subnode entries loaded for the whole store, so that
    // blocks shared many times over by a hostile file cannot multiply the work.
    SubnodeLoader(const BlockReader<V>& reader, std::uint64_t entryBudget)
        : reader_(reader), budget_(entryBudget) {}

    // The tree whose top block is `bidSub`; null when nothing could be loaded.
    std::unique_ptr<SubnodeTree> Load(std::uint64_t bidSub) { return Load(bidSub, 0); }

private:
    std::unique_ptr<SubnodeTree> Load(std::uint64_t bidSub, int depth);
    void ReadIndexBlock(const ByteBuffer& block, SubnodeTree& tree, int depth);
    void ReadLeafBlock(const ByteBuffer& block, SubnodeTree& tree, int depth);

    const BlockReader<V>& reader_;
    std::uint64_t budget_;
};

}  // namespace corvex
