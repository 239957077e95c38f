// The B-tree-on-heap that indexes a property or table context: its 8-byte
// header and the collection of its leaf records.
#pragma once

#include <cstdint>

#include "common/little_endian.h"
#include "engine/storage/heap_on_node.h"
#include "engine/storage/subnode_source.h"

namespace corvex {

struct BthHeader {
    std::uint8_t bType = 0;  // 0xB5, not checked
    std::uint8_t cbKey = 0;
    std::uint8_t cbEnt = 0;
    std::uint8_t bIdxLevels = 0;
    std::uint32_t hidRoot = 0;

    // Fewer than 8 bytes read as an all-zero header, which has no records.
    static BthHeader Parse(common::Bytes bytes) {
        if (bytes.size() < 8) return {};
        return {bytes[0], bytes[1], bytes[2], bytes[3], common::LoadLE<std::uint32_t>(bytes, 4)};
    }
};

// The array an HNID names: a subnode's data through `subnodes`, a heap
// allocation through `heap`; 0 or an unresolvable HID gives nothing.
template <typename V>
ByteBuffer ReadHnidArray(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                         std::uint32_t hnid);

// The BTH's leaf records as one buffer. One index level is followed: the leaf
// arrays of the index records are joined, last index record first. Deeper
// levels are not descended; what one level leads to is taken as records.
template <typename V>
ByteBuffer CollectBthRecords(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                             const BthHeader& header);

}  // namespace corvex
