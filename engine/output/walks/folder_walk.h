// The folder tree handed to the viewer: a folder's children are the nodes
// filed under its NID when the node B-tree was loaded, not its hierarchy table.
#pragma once

#include <unordered_set>

#include "engine/interface/corvex_engine.h"
#include "engine/output/walks/walk_context.h"

namespace corvex {

template <typename V>
class FolderWalk {
  public:
    explicit FolderWalk(const WalkContext<V>& context) : context_(context) {}

    // Appends one entry per named child folder of `nid` to `list`.
    void EnumerateChildren(std::uint32_t nid, FolderList& list) const;
    // Appends the children and, below every entry of `list`, the whole tree.
    void EnumerateAll(std::uint32_t nid, FolderList& list) const;

  private:
    void EnumerateChildren(std::uint32_t nid, FolderList& list,
                           const std::unordered_set<std::uint32_t>& path) const;
    void EnumerateAll(std::uint32_t nid, FolderList& list,
                      std::unordered_set<std::uint32_t>& path) const;

    const WalkContext<V>& context_;
};

}  // namespace corvex
