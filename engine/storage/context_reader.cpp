#include "engine/storage/context_reader.h"

#include "engine/storage/data_blocks.h"
#include "engine/storage/instantiate.h"
#include "engine/storage/property_context.h"
#include "engine/storage/subnode_source.h"
#include "engine/storage/table_context.h"

namespace corvex {

template <typename V>
PropertyMap ContextReader<V>::Properties(std::uint64_t bidData, const SubnodeTree& subnodes) const {
    return Properties(bidData, StoreSubnodeSource<V>(reader_, subnodes));
}

template <typename V>
PropertyMap ContextReader<V>::Properties(std::uint64_t bidData,
                                         const SubnodeSource& subnodes) const {
    HeapOnNode<V> heap;
    ReadHeapBlocks(reader_, bidData, heap);
    PropertyMap properties;
    ReadPropertyContext(heap, subnodes, properties);
    return properties;
}

template <typename V>
std::vector<TableRow> ContextReader<V>::Table(std::uint64_t bidData,
                                              const SubnodeTree& subnodes) const {
    HeapOnNode<V> heap;
    ReadHeapBlocks(reader_, bidData, heap);
    std::vector<TableRow> rows;
    ReadTableContext(heap, StoreSubnodeSource<V>(reader_, subnodes), rows);
    return rows;
}

template <typename V>
PropertyMap ContextReader<V>::NodeProperties(const NbtEntry& node) const {
    return Properties(node.bidData, node.Subnodes());
}

template <typename V>
PropertyMap ContextReader<V>::NodeProperties(const NbtEntry& node,
                                             const SubnodeSource& subnodes) const {
    return Properties(node.bidData, subnodes);
}

template <typename V>
PropertyMap ContextReader<V>::SubnodeProperties(const SubnodeEntry& subnode) const {
    return Properties(subnode.bidData, subnode.Nested());
}

template <typename V>
std::vector<TableRow> ContextReader<V>::NodeTable(const NbtEntry& node) const {
    return Table(node.bidData, node.Subnodes());
}

template <typename V>
std::vector<TableRow> ContextReader<V>::SubnodeTable(const SubnodeEntry& subnode) const {
    return Table(subnode.bidData, subnode.Nested());
}

template <typename V>
ByteBuffer ContextReader<V>::ValueBytes(const PropValue& value) const {
    if (!value.inSubnode) return value.bytes;
    return SubnodeData(value.owner, value.SubnodeNid());
}

template <typename V>
ByteBuffer ContextReader<V>::SubnodeData(const SubnodeTree* owner, std::uint32_t nid) const {
    if (owner == nullptr) return {};
    return StoreSubnodeSource<V>(reader_, *owner).ReadData(nid);
}

CORVEX_INSTANTIATE_CLASS(ContextReader)

}  // namespace corvex
