#include "engine/storage/btree_loader.h"

#include <algorithm>

#include "common/little_endian.h"
#include "engine/storage/instantiate.h"

namespace corvex {
namespace {

template <typename V>
struct PageShape {
    std::size_t cEnt;
    std::size_t cbEnt;
    std::uint8_t cLevel;
};

template <typename V>
PageShape<V> ReadShape(common::Bytes page) {
    constexpr std::size_t m = V::kPageMetaOffset;
    if constexpr (V::kWideEntryCounts) {
        return {common::LoadLE<std::uint16_t>(page, m), common::LoadLE<std::uint8_t>(page, m + 4),
                common::LoadLE<std::uint8_t>(page, m + 5)};
    } else {
        return {common::LoadLE<std::uint8_t>(page, m), common::LoadLE<std::uint8_t>(page, m + 2),
                common::LoadLE<std::uint8_t>(page, m + 3)};
    }
}

// Record sizes and which cbEnt values are trusted, per variant.
template <typename V>
constexpr std::size_t kIntermediateSize = 3 * V::kIdWidth;
template <typename V>
constexpr std::size_t kBbtLeafSize = V::kWide ? 24 : 12;
template <typename V>
constexpr std::size_t kNbtLeafSize = V::kWide ? 32 : 16;

template <typename V>
bool AcceptIntermediate(std::size_t cbEnt) {
    return V::kWide ? cbEnt >= kIntermediateSize<V> : cbEnt == kIntermediateSize<V>;
}
template <typename V>
bool AcceptBbtLeaf(std::size_t cbEnt) {
    return cbEnt >= kBbtLeafSize<V>;
}
template <typename V>
bool AcceptNbtLeaf(std::size_t cbEnt) {
    return V::kWide ? cbEnt >= kNbtLeafSize<V> : cbEnt == kNbtLeafSize<V>;
}

template <typename V>
PageRef ParseRef(common::Bytes entry) {
    constexpr std::size_t w = V::kIdWidth;
    return {common::LoadWidth(entry, 0, w), common::LoadWidth(entry, w, w),
            common::LoadWidth(entry, 2 * w, w)};
}

template <typename V>
BbtEntry<V> ParseBbtLeaf(common::Bytes entry) {
    constexpr std::size_t w = V::kIdWidth;
    BbtEntry<V> record;
    record.bid = common::LoadWidth(entry, 0, w);
    record.ib = common::LoadWidth(entry, w, w);
    record.cb = common::LoadLE<std::uint16_t>(entry, 2 * w);
    record.cRef = common::LoadLE<std::uint16_t>(entry, 2 * w + 2);
    return record;
}

template <typename V>
void ParseNbtLeaf(common::Bytes entry, NbtEntry& record) {
    constexpr std::size_t w = V::kIdWidth;
    record.nid = common::LoadWidth(entry, 0, w);
    record.bidData = common::LoadWidth(entry, w, w);
    record.bidSub = common::LoadWidth(entry, 2 * w, w);
    record.nidParent = common::LoadLE<std::uint32_t>(entry, 3 * w);
    if constexpr (V::kWide) record.padding = common::LoadLE<std::uint32_t>(entry, 3 * w + 4);
}

}  // namespace

template <typename V>
template <typename Leaf, typename LeafStep>
void BTreeLoader<V>::WalkPage(std::uint64_t ib, PageNode<V, Leaf>& page, int depth, bool nodeTree,
                              LeafStep& leafStep) {
    // Each page is read once: a page met again is a loop or a shared subtree in
    // a damaged file, and walking it again could multiply the work without end.
    if (depth >= kMaxBTreeDepth || !visited_.insert(ib).second) return;
    const ByteBuffer buffer = file_.ReadAt(ib, V::kPageSize);
    const common::Bytes bytes(buffer);
    std::copy(buffer.begin() + V::kPageMetaOffset, buffer.end(), page.meta.begin());
    if (nodeTree && page.Ptype() != kPtypeNbt) return;

    const PageShape<V> shape = ReadShape<V>(bytes);
    for (std::size_t i = 0; i < shape.cEnt; ++i) {
        const std::size_t offset = i * shape.cbEnt;
        if (shape.cbEnt == 0 || offset + shape.cbEnt > V::kPageMetaOffset) break;
        if (stop_.Stopped()) return;
        const common::Bytes entry = bytes.subspan(offset, shape.cbEnt);
        if (shape.cLevel == 0) {
            leafStep(entry, shape.cbEnt, page);
        } else if (AcceptIntermediate<V>(shape.cbEnt)) {
            auto child = std::make_unique<PageNode<V, Leaf>>();
            child->ref = ParseRef<V>(entry);
            auto& childRef = *child;
            page.children.push_back(std::move(child));
            WalkPage(childRef.ref.ib, childRef, depth + 1, nodeTree, leafStep);
        }
    }
}

template <typename V>
void BTreeLoader<V>::LoadBlockTree(std::uint64_t rootIb, BlockTree<V>& tree) {
    visited_.clear();
    auto leafStep = [&tree](common::Bytes entry, std::size_t cbEnt,
                            PageNode<V, BbtEntry<V>>& page) {
        if (!AcceptBbtLeaf<V>(cbEnt)) return;
        tree.records.push_back(ParseBbtLeaf<V>(entry));
        const BbtEntry<V>& record = tree.records.back();
        page.leaves.push_back(&record);
        tree.map.Add(record.bid, &record);
    };
    WalkPage(rootIb, tree.root, 0, false, leafStep);
    tree.map.Seal();
}

template <typename V>
void BTreeLoader<V>::LoadNodeTree(std::uint64_t rootIb, NodeTree<V>& tree,
                                  SubnodeLoader<V>* subnodes) {
    visited_.clear();
    auto leafStep = [&tree, &subnodes](common::Bytes entry, std::size_t cbEnt,
                                       PageNode<V, NbtEntry>& page) {
        if (!AcceptNbtLeaf<V>(cbEnt)) return;
        NbtEntry& record = tree.records.emplace_back();
        ParseNbtLeaf<V>(entry, record);
        if (record.bidSub != 0 && subnodes != nullptr)
            record.subnodes = subnodes->Load(record.bidSub);
        page.leaves.push_back(&record);
        tree.walker.Add(record);
    };
    WalkPage(rootIb, tree.root, 0, true, leafStep);
    tree.walker.Seal();
}

CORVEX_INSTANTIATE_CLASS(BTreeLoader)

}  // namespace corvex
