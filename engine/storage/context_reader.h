// Reads the property and table contexts of a store's nodes and subnodes: builds
// the heap from the node's data, reads the context, and drops the heap again.
#pragma once

#include <vector>

#include "engine/storage/block_reader.h"
#include "engine/storage/btree_records.h"
#include "engine/storage/property_map.h"
#include "engine/storage/subnode_source.h"
#include "engine/storage/table_row.h"

namespace corvex {

template <typename V>
class ContextReader {
  public:
    explicit ContextReader(const BlockReader<V>& reader) : reader_(reader) {}

    // Folder and message properties.
    PropertyMap NodeProperties(const NbtEntry& node) const;
    // The same, with the node's subnodes read through `subnodes`.
    PropertyMap NodeProperties(const NbtEntry& node, const SubnodeSource& subnodes) const;
    // Attachment properties: a message's subnode, resolved in its nested tree.
    PropertyMap SubnodeProperties(const SubnodeEntry& subnode) const;
    std::vector<TableRow> NodeTable(const NbtEntry& node) const;
    // A message's recipient or attachment table.
    std::vector<TableRow> SubnodeTable(const SubnodeEntry& subnode) const;

    // A value's bytes: the subnode's data for an in-subnode value (nothing when
    // its owner does not know the NID), otherwise the value's own bytes.
    ByteBuffer ValueBytes(const PropValue& value) const;
    // The data of subnode `nid` of `owner`; nothing when there is no owner or it does not know the
    // NID.
    ByteBuffer SubnodeData(const SubnodeTree* owner, std::uint32_t nid) const;

  private:
    PropertyMap Properties(std::uint64_t bidData, const SubnodeTree& subnodes) const;
    PropertyMap Properties(std::uint64_t bidData, const SubnodeSource& subnodes) const;
    std::vector<TableRow> Table(std::uint64_t bidData, const SubnodeTree& subnodes) const;

    const BlockReader<V>& reader_;
};

}  // namespace corvex
