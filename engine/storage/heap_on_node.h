// A node's heap held in memory: one HeapBlock per data block of the node, in
// data-tree order, so that a HID's hidBlockIndex is a position in the sequence.
// Built for one context read and dropped afterwards; every value it hands out is
// a fresh copy.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/storage/heap_block.h"

namespace corvex {

using ByteBuffer = std::vector<std::uint8_t>;

// The message Corvex64K shows for a HID that names no allocation.
inline constexpr const char* kMissingAllocationText = "CBlockIndexArray is notFound Data";
inline constexpr const char* kMissingAllocationCaption = "Corvex64K";

// A value read through an HNID. When `inSubnode` is set, `bytes` are the 4 bytes
// of a subnode NID that the owner still has to read.
struct HeapValue {
    ByteBuffer bytes;
    bool inSubnode = false;
};

template <typename V>
class HeapOnNode {
  public:
    void Append(HeapBlock block) { blocks_.push_back(std::move(block)); }
    const std::vector<HeapBlock>& Blocks() const { return blocks_; }
    bool Empty() const { return blocks_.empty(); }
    // The first block, which starts with the heap's header; empty without blocks.
    common::Bytes FirstBlock() const {
        return blocks_.empty() ? common::Bytes{} : blocks_.front().Data();
    }

    // The allocation a HID names, or nothing. A HID into an existing block that
    // names no allocation is reported to the user in the variants that do so.
    std::optional<ByteBuffer> FindHid(std::uint32_t hid) const;

  private:
    std::vector<HeapBlock> blocks_;
};

// 0 gives no value; a subnode NID gives its 4 bytes flagged as in-subnode; a HID
// gives the allocation's bytes, or no value when it names none.
template <typename V>
HeapValue ResolveHnid(const HeapOnNode<V>& heap, std::uint32_t hnid);

}  // namespace corvex
