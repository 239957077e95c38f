// A node's subnode tree (SLBLOCK / SIBLOCK), held in memory and looked up by the
// subnode's 32-bit NID.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace corvex {

struct SubnodeTree;

struct SubnodeEntry {
    std::uint64_t nid = 0;  // as stored (8 bytes in 64-bit stores)
    std::uint64_t bidData = 0;
    std::uint64_t bidSub = 0;
    std::unique_ptr<SubnodeTree> nested;  // null when bidSub is 0 or nothing loaded

    std::uint32_t Nid() const { return static_cast<std::uint32_t>(nid); }
    const SubnodeTree& Nested() const;
};

// An SIBLOCK entry: where one SLBLOCK (or a deeper SIBLOCK) of the tree lies.
struct SubnodeIndexEntry {
    std::uint64_t nid = 0;
    std::uint64_t bid = 0;
};

struct SubnodeTree {
    std::array<std::uint8_t, 8> header{};  // the top block's header (4 bytes in ANSI stores)
    std::vector<SubnodeIndexEntry> indexEntries;
    std::vector<SubnodeEntry> entries;  // ascending by 32-bit NID, one entry per NID

    const SubnodeEntry* Find(std::uint32_t nid) const;
    bool IsEmpty() const { return entries.empty(); }

    // Orders `entries` by NID, keeping the last of entries with equal NIDs.
    void Seal();

    static const SubnodeTree& Empty();
};

inline const SubnodeTree& SubnodeEntry::Nested() const {
    return nested ? *nested : SubnodeTree::Empty();
}

}  // namespace corvex
