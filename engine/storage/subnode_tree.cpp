#include "engine/storage/subnode_tree.h"

#include <algorithm>

namespace corvex {

const SubnodeEntry* SubnodeTree::Find(std::uint32_t nid) const {
    auto it =
        std::lower_bound(entries.begin(), entries.end(), nid,
                         [](const SubnodeEntry& e, std::uint32_t key) { return e.Nid() < key; });
    return it != entries.end() && it->Nid() == nid ? &*it : nullptr;
}

void SubnodeTree::Seal() {
    const auto notAscending = [](const SubnodeEntry& a, const SubnodeEntry& b) {
        return a.Nid() >= b.Nid();
    };
    if (std::adjacent_find(entries.begin(), entries.end(), notAscending) == entries.end()) return;
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const SubnodeEntry& a, const SubnodeEntry& b) { return a.Nid() < b.Nid(); });
    // A later entry with the same NID replaces the earlier one: keep the last of each run.
    std::vector<SubnodeEntry> kept;
    kept.reserve(entries.size());
    for (auto& entry : entries) {
        if (!kept.empty() && kept.back().Nid() == entry.Nid()) {
            kept.back() = std::move(entry);
        } else {
            kept.push_back(std::move(entry));
        }
    }
    entries = std::move(kept);
}

const SubnodeTree& SubnodeTree::Empty() {
    static const SubnodeTree empty;
    return empty;
}

}  // namespace corvex
