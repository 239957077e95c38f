// One property of a property context, or one cell of a table row.
#pragma once

#include <cstdint>
#include <vector>

#include "common/little_endian.h"
#include "engine/storage/subnode_tree.h"

namespace corvex {

struct PropValue {
    std::uint16_t id = 0;
    std::uint16_t type = 0;           // the MAPI PT_ code
    std::vector<std::uint8_t> bytes;  // empty when the value is absent
    // Set when `bytes` are the 4-byte NID of a subnode that holds the value;
    // `owner` is the tree that resolves it.
    bool inSubnode = false;
    const SubnodeTree* owner = nullptr;

    std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes.size()); }
    bool Empty() const { return bytes.empty(); }
    // The subnode NID of an in-subnode value.
    std::uint32_t SubnodeNid() const { return common::LoadLE<std::uint32_t>(bytes, 0); }
};

}  // namespace corvex
