#include "tools/storewriter/subnode_tree_writer.h"

#include <algorithm>

#include "common/little_endian.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint8_t kBtypeSubnodeTree = 0x02;

}  // namespace

std::uint64_t SubnodeTreeWriter::Write(std::span<const SubnodeSpec> entries) {
    std::vector<Row> rows;
    rows.reserve(entries.size());
    for (const SubnodeSpec& entry : entries)
        rows.push_back({{entry.nid, entry.bidData, entry.bidSub}});
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.ids[0] < b.ids[0]; });
    rows = WriteLevel(rows, 3, 0);
    for (std::uint8_t level = 1; rows.size() > 1; ++level) rows = WriteLevel(rows, 2, level);
    return rows.empty() ? 0 : rows.front().ids[1];
}

std::vector<SubnodeTreeWriter::Row> SubnodeTreeWriter::WriteLevel(std::span<const Row> rows,
                                                                  std::size_t idsPerRow,
                                                                  std::uint8_t level) {
    const std::size_t entrySize = idsPerRow * layout_.idWidth;
    const std::size_t capacity = (layout_.maxBlockData - layout_.subnodeHeaderSize) / entrySize;
    std::vector<Row> above;
    for (std::size_t first = 0; first < rows.size(); first += capacity) {
        const auto chunk = rows.subspan(first, std::min(capacity, rows.size() - first));
        std::vector<std::uint8_t> block(layout_.subnodeHeaderSize + chunk.size() * entrySize, 0);
        block[0] = kBtypeSubnodeTree;
        block[1] = level;
        common::StoreLE16(block.data() + 2, static_cast<std::uint16_t>(chunk.size()));
        std::uint8_t* out = block.data() + layout_.subnodeHeaderSize;
        for (const Row& row : chunk) {
            for (std::size_t i = 0; i < idsPerRow; ++i, out += layout_.idWidth)
                StoreId(layout_, out, row.ids[i]);
        }
        const std::uint64_t bid = blocks_.Write(block, BlockKind::kInternal);
        if (bid == 0) return {};
        above.push_back({{chunk.front().ids[0], bid, 0}});
    }
    return above;
}

}  // namespace velmora::storewriter
