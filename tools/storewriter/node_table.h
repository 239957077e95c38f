// The nodes added to a store, kept until the node B-tree is written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::storewriter {

struct NodeRecord {
    std::uint32_t nid;
    std::uint64_t bidData;
    std::uint64_t bidSub;
    std::uint32_t nidParent;
};

class NodeTable {
  public:
    void Add(const NodeRecord& node) { nodes_.push_back(node); }
    std::size_t Size() const { return nodes_.size(); }

    // Ascending by NID, one record per NID: the one added last.
    std::vector<NodeRecord> Sorted() const;

    // For each NID type, one past the highest NID index in use; the header
    // hands these out as the next free NIDs.
    std::array<std::uint32_t, 32> NextNidIndexes() const;

  private:
    std::vector<NodeRecord> nodes_;
};

}  // namespace velmora::storewriter
