#include "tests/engine/storage/store_layout.h"

#include <algorithm>

namespace velmora::test {
namespace {

std::uint64_t Key(const corvex::NbtEntry* leaf) {
    return leaf->nid;
}
template <typename V>
std::uint64_t Key(const corvex::BbtEntry<V>* leaf) {
    return leaf->bid;
}

template <typename V, typename Leaf>
void CollectPages(const corvex::PageNode<V, Leaf>& page, std::uint64_t ib, bool nodeTree, int level,
                  std::uint64_t ancestorEnd, std::vector<PagePlace>& out) {
    PagePlace place{ib, nodeTree, level, std::max(ancestorEnd, ib + V::kPageSize), {}};
    for (const Leaf* leaf : page.leaves) place.leafKeys.push_back(Key(leaf));
    out.push_back(place);
    for (const auto& child : page.children) {
        CollectPages(*child, child->ref.ib, nodeTree, level + 1, place.highestAncestorEnd, out);
    }
}

}  // namespace

template <typename V>
StoreLayout LayoutOf(const corvex::NodeDatabase<V>& database) {
    StoreLayout layout;
    CollectPages(database.Blocks().root, database.Header().BbtRootIb(), false, 0, 0, layout.pages);
    CollectPages(database.Nodes().root, database.Header().NbtRootIb(), true, 0, 0, layout.pages);
    for (const auto& entry : database.Blocks().records) {
        std::uint64_t size = entry.cb;
        if constexpr (V::kCompressed) size = (entry.cb + V::kBlockTrailerSize + 511) / 512 * 512;
        layout.blocks.push_back({entry.bid, entry.ib, size});
    }
    return layout;
}

template StoreLayout LayoutOf(const corvex::NodeDatabase<corvex::AnsiTraits>&);
template StoreLayout LayoutOf(const corvex::NodeDatabase<corvex::UnicodeTraits>&);
template StoreLayout LayoutOf(const corvex::NodeDatabase<corvex::Unicode4KTraits>&);

}  // namespace velmora::test
