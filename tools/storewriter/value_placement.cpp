#include "tools/storewriter/value_placement.h"

namespace velmora::storewriter {

std::uint32_t PlaceValue(HeapWriter& heap, std::span<const std::uint8_t> bytes, SubnodeNids& nids,
                         std::vector<SubnodeContent>& subnodes, std::size_t maxBlock) {
    if (bytes.size() <= kMaxHeapAllocation) return heap.Allocate(bytes);
    SubnodeContent subnode;
    subnode.nid = nids.Next();
    subnode.content.blocks = SplitIntoBlocks(bytes, maxBlock);
    subnodes.push_back(std::move(subnode));
    return subnodes.back().nid;
}

}  // namespace velmora::storewriter
