#include "tools/storewriter/node_table.h"

#include <algorithm>

namespace velmora::storewriter {
namespace {

constexpr std::uint32_t kNidTypeBits = 5;
constexpr std::uint32_t kNidTypeMask = (1u << kNidTypeBits) - 1;
// Indexes below this are kept for the nodes every store has.
constexpr std::uint32_t kFirstFreeNidIndex = 0x400;

}  // namespace

std::vector<NodeRecord> NodeTable::Sorted() const {
    std::vector<NodeRecord> sorted = nodes_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const NodeRecord& a, const NodeRecord& b) { return a.nid < b.nid; });
    // Of equal NIDs the last added sits last; keep it.
    std::vector<NodeRecord> unique;
    unique.reserve(sorted.size());
    for (const NodeRecord& node : sorted) {
        if (!unique.empty() && unique.back().nid == node.nid) {
            unique.back() = node;
        } else {
            unique.push_back(node);
        }
    }
    return unique;
}

std::array<std::uint32_t, 32> NodeTable::NextNidIndexes() const {
    std::array<std::uint32_t, 32> next{};
    next.fill(kFirstFreeNidIndex);
    for (const NodeRecord& node : nodes_) {
        std::uint32_t& slot = next[node.nid & kNidTypeMask];
        slot = std::max(slot, (node.nid >> kNidTypeBits) + 1);
    }
    return next;
}

}  // namespace velmora::storewriter
