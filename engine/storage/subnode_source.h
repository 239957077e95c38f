// Where a context reads the data of its owner's subnodes: the heap's root, BTH
// arrays and row matrices may live in subnodes instead of in the heap.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/storage/block_reader.h"
#include "engine/storage/subnode_tree.h"

namespace corvex {

class SubnodeSource {
  public:
    virtual ~SubnodeSource() = default;
    // The subnode's whole data, its data tree joined; empty when it is unknown.
    virtual ByteBuffer ReadData(std::uint32_t nid) const = 0;
    // The same data block by block, as rows of a table are packed.
    virtual std::vector<ByteBuffer> ReadDataBlocks(std::uint32_t nid) const = 0;
    // The tree that resolves the NIDs of values found in subnodes, kept in those
    // values as their owner.
    virtual const SubnodeTree& Tree() const = 0;
};

// The subnodes of one node or subnode of an open store.
template <typename V>
class StoreSubnodeSource final : public SubnodeSource {
  public:
    StoreSubnodeSource(const BlockReader<V>& reader, const SubnodeTree& tree)
        : reader_(reader), tree_(tree) {}

    ByteBuffer ReadData(std::uint32_t nid) const override;
    std::vector<ByteBuffer> ReadDataBlocks(std::uint32_t nid) const override;
    const SubnodeTree& Tree() const override { return tree_; }

  private:
    const BlockReader<V>& reader_;
    const SubnodeTree& tree_;
};

}  // namespace corvex
