// Reads the whole block B-tree and node B-tree of a store into memory, once.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_set>

#include "engine/storage/block_reader.h"
#include "engine/storage/btree_records.h"
#include "engine/storage/node_index.h"
#include "engine/storage/robustness_limits.h"
#include "engine/storage/stop_token.h"
#include "engine/storage/store_file.h"
#include "engine/storage/subnode_loader.h"

namespace corvex {

template <typename V>
struct BlockTree {
    PageNode<V, BbtEntry<V>> root;
    std::deque<BbtEntry<V>> records;  // never move once added, so the maps can point at them
    BlockMap<V> map;
};

template <typename V>
struct NodeTree {
    PageNode<V, NbtEntry> root;
    std::deque<NbtEntry> records;
    FolderWalker walker;
};

template <typename V>
class BTreeLoader {
  public:
    BTreeLoader(const StoreFile& file, StopToken stop) : file_(file), stop_(stop) {}

    void LoadBlockTree(std::uint64_t rootIb, BlockTree<V>& tree);
    // Must follow LoadBlockTree: nodes with subnode trees read blocks. Without
    // a subnode loader, the nodes' subnode trees are left unread.
    void LoadNodeTree(std::uint64_t rootIb, NodeTree<V>& tree, SubnodeLoader<V>* subnodes);

  private:
    template <typename Leaf, typename LeafStep>
    void WalkPage(std::uint64_t ib, PageNode<V, Leaf>& page, int depth, bool nodeTree,
                  LeafStep& leafStep);

    const StoreFile& file_;
    StopToken stop_;
    std::unordered_set<std::uint64_t> visited_;  // page offsets already read in the current tree
};

}  // namespace corvex
