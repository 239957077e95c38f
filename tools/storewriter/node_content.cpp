#include "tools/storewriter/node_content.h"

#include <algorithm>

#include "tools/storewriter/store_writer.h"

namespace velmora::storewriter {

std::vector<ByteVector> SplitIntoBlocks(std::span<const std::uint8_t> bytes, std::size_t maxBlock) {
    std::vector<ByteVector> blocks;
    for (std::size_t at = 0; at < bytes.size(); at += maxBlock) {
        const auto piece = bytes.subspan(at, std::min(maxBlock, bytes.size() - at));
        blocks.emplace_back(piece.begin(), piece.end());
    }
    if (blocks.empty()) blocks.emplace_back();
    return blocks;
}

NodeBids WriteNodeContent(StoreWriter& writer, const NodeContent& content) {
    std::vector<SubnodeSpec> entries;
    entries.reserve(content.subnodes.size());
    for (const SubnodeContent& subnode : content.subnodes) {
        const NodeBids bids = WriteNodeContent(writer, subnode.content);
        if (bids.data == 0) return {};
        entries.push_back({subnode.nid, bids.data, bids.sub});
    }
    NodeBids bids;
    bids.data = writer.AddDataBlocks(content.blocks);
    bids.sub = writer.AddSubnodeTree(entries);
    return bids;
}

}  // namespace velmora::storewriter
