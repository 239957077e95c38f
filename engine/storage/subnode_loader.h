// Loads a node's subnode tree (SLBLOCK, SIBLOCK and nested trees) into memory.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/storage/block_reader.h"
#include "engine/storage/robustness_limits.h"
#include "engine/storage/subnode_tree.h"

namespace corvex {

template <typename V>
class SubnodeLoader {
  public:
    // `entryBudget` caps the subnode entries loaded for the whole store, and
    // `byteBudget` the bytes of subnode blocks read for it, so that blocks shared
    // many times over by a hostile file cannot multiply the work: a small file
    // whose index entries all name one large block would otherwise have that
    // block read once per entry.
    SubnodeLoader(const BlockReader<V>& reader, std::uint64_t entryBudget, std::uint64_t byteBudget)
        : reader_(reader), budget_(entryBudget), byteBudget_(byteBudget) {}

    // The tree whose top block is `bidSub`; null when nothing could be loaded.
    std::unique_ptr<SubnodeTree> Load(std::uint64_t bidSub) { return Load(bidSub, 0); }

  private:
    std::unique_ptr<SubnodeTree> Load(std::uint64_t bidSub, int depth);
    void ReadIndexBlock(const ByteBuffer& block, SubnodeTree& tree, int depth);
    void ReadLeafBlock(const ByteBuffer& block, SubnodeTree& tree, int depth);
    // The block, charged to the byte budget; empty once the budget is spent.
    ByteBuffer ReadCharged(std::uint64_t bid);

    const BlockReader<V>& reader_;
    std::uint64_t budget_;
    std::uint64_t byteBudget_;
};

}  // namespace corvex
