// Leaf records of the block and node B-trees, and the in-memory copy of a page.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/storage/subnode_tree.h"
#include "engine/storage/variant_traits.h"

namespace corvex {

// One block B-tree leaf record. In the 4K variant it also keeps the block
// trailer, refreshed each time the block is read.
template <typename V>
struct BbtEntry {
    std::uint64_t bid = 0;
    std::uint64_t ib = 0;
    std::uint16_t cb = 0;
    std::uint16_t cRef = 0;
    mutable std::array<std::uint8_t, V::kBlockTrailerSize> trailer{};
};

// One node B-tree leaf record with the node's subnode tree.
struct NbtEntry {
    std::uint64_t nid = 0;  // as stored: in 64-bit stores a 32-bit NID with its padding
    std::uint64_t bidData = 0;
    std::uint64_t bidSub = 0;
    std::uint32_t nidParent = 0;
    std::uint32_t padding = 0;
    std::unique_ptr<SubnodeTree> subnodes;  // null when the node has none

    std::uint32_t Nid() const { return static_cast<std::uint32_t>(nid); }
    std::uint32_t NidType() const { return Nid() & kNidTypeMask; }
    const SubnodeTree& Subnodes() const { return subnodes ? *subnodes : SubnodeTree::Empty(); }
};

// The intermediate entry that points at a child page.
struct PageRef {
    std::uint64_t btkey = 0;
    std::uint64_t bid = 0;
    std::uint64_t ib = 0;
};

// One B-tree page as found in the file: its metadata bytes (from cEnt to the
// end of the page), the entry that led to it, its child pages and leaf records.
template <typename V, typename Leaf>
struct PageNode {
    static constexpr std::size_t kMetaSize = V::kPageSize - V::kPageMetaOffset;

    std::array<std::uint8_t, kMetaSize> meta{};
    PageRef ref;
    std::vector<std::unique_ptr<PageNode>> children;
    std::vector<const Leaf*> leaves;

    std::uint8_t Ptype() const { return meta[V::kPtypeOffset - V::kPageMetaOffset]; }
};

}  // namespace corvex
