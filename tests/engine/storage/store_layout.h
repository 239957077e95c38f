// Where the pages and blocks of a parsed store lie in its file, so that damage
// can be aimed at one kind of structure and its reach predicted.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/storage/node_database.h"

namespace velmora::test {

struct PagePlace {
    std::uint64_t ib = 0;
    bool nodeTree = false;
    int level = 0;                         // 0 for the root
    std::uint64_t highestAncestorEnd = 0;  // end of the furthest page on the path from the root
    std::vector<std::uint64_t> leafKeys;   // NIDs (node tree) or BIDs (block tree) of its leaves
};

struct BlockPlace {
    std::uint64_t bid = 0;
    std::uint64_t ib = 0;
    std::uint64_t size = 0;  // bytes on disk, trailer included where the variant has one
};

struct StoreLayout {
    std::vector<PagePlace> pages;
    std::vector<BlockPlace> blocks;
};

template <typename V>
StoreLayout LayoutOf(const corvex::NodeDatabase<V>& database);

}  // namespace velmora::test
