#include "engine/storage/subnode_source.h"

#include "engine/storage/data_blocks.h"
#include "engine/storage/instantiate.h"

namespace corvex {

template <typename V>
ByteBuffer StoreSubnodeSource<V>::ReadData(std::uint32_t nid) const {
    const SubnodeEntry* entry = tree_.Find(nid);
    return entry != nullptr ? reader_.ReadBlock(entry->bidData) : ByteBuffer{};
}

template <typename V>
std::vector<ByteBuffer> StoreSubnodeSource<V>::ReadDataBlocks(std::uint32_t nid) const {
    const SubnodeEntry* entry = tree_.Find(nid);
    return entry != nullptr ? corvex::ReadDataBlocks(reader_, entry->bidData)
                            : std::vector<ByteBuffer>{};
}

CORVEX_INSTANTIATE_CLASS(StoreSubnodeSource)

}  // namespace corvex
