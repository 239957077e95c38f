#include "engine/output/walks/folder_walk.h"

#include <vector>

#include "engine/output/walks/record_memory.h"
#include "engine/storage/instantiate.h"

namespace corvex {

template <typename V>
void FolderWalk<V>::EnumerateChildren(std::uint32_t nid, FolderList& list) const {
    EnumerateChildren(nid, list, {nid});
}

template <typename V>
void FolderWalk<V>::EnumerateChildren(std::uint32_t nid, FolderList& list,
                                      const std::unordered_set<std::uint32_t>& path) const {
    // Every child is visited: the count is not cut to 16 bits.
    for (const auto& [parent, node] : context_.ChildFolders(nid)) {
        if (context_.Stopped()) return;
        // A folder filed under itself or under one of its descendants would make
        // the tree endless; it is left out where it would repeat the path.
        if (path.contains(node->Nid())) continue;
        const PropertyMap properties = context_.Contexts().NodeProperties(*node);
        if (context_.FolderName(properties).empty()) continue;
        AppendToList(list, NewFolderEntry(node->nid, context_.ExportWithValueFiles(properties)));
    }
}

template <typename V>
void FolderWalk<V>::EnumerateAll(std::uint32_t nid, FolderList& list) const {
    std::unordered_set<std::uint32_t> path{nid};
    EnumerateAll(nid, list, path);
}

template <typename V>
void FolderWalk<V>::EnumerateAll(std::uint32_t nid, FolderList& list,
                                 std::unordered_set<std::uint32_t>& path) const {
    if (path.size() > static_cast<std::size_t>(kMaxFolderDepth)) return;
    EnumerateChildren(nid, list, path);
    // Entries already in the list before this call are walked again too.
    const std::vector<FolderEntry*> entries(list.items, list.items + list.count);
    for (FolderEntry* entry : entries) {
        if (context_.Stopped()) return;
        if (!path.insert(entry->nidLow).second) continue;
        EnumerateAll(entry->nidLow, *entry->children, path);
        path.erase(entry->nidLow);
    }
}

CORVEX_INSTANTIATE_CLASS(FolderWalk)

}  // namespace corvex
