// The subnodes of one node of a database loaded with its subnode trees left
// on demand: the tree is read from the file the first time a context needs
// a subnode's data, or when the caller asks for it (a value found in a
// subnode is about to be read).
#pragma once

#include <memory>
#include <vector>

#include "engine/storage/node_database.h"
#include "engine/storage/subnode_source.h"

namespace corvex {

template <typename V>
class OnDemandSubnodes final : public SubnodeSource {
  public:
    OnDemandSubnodes(const NodeDatabase<V>& database, const NbtEntry& node)
        : database_(database), node_(node) {}

    // Values found in subnodes keep the tree as their owner, so it is filled
    // in place and always the same object.
    const SubnodeTree& Tree() const override { return tree_; }

    ByteBuffer ReadData(std::uint32_t nid) const override { return Source().ReadData(nid); }
    std::vector<ByteBuffer> ReadDataBlocks(std::uint32_t nid) const override {
        return Source().ReadDataBlocks(nid);
    }

    // Reads the tree, once.
    void Read() const {
        if (read_) return;
        read_ = true;
        if (std::unique_ptr<SubnodeTree> tree = database_.ReadSubnodeTree(node_))
            tree_ = std::move(*tree);
    }

  private:
    StoreSubnodeSource<V> Source() const {
        Read();
        return StoreSubnodeSource<V>(database_.Reader(), tree_);
    }

    const NodeDatabase<V>& database_;
    const NbtEntry& node_;
    mutable SubnodeTree tree_;
    mutable bool read_ = false;
};

}  // namespace corvex
