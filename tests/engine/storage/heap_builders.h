// Hand-built heaps for the context tests: heap blocks with their page maps,
// BTH headers, subnode data held in memory, and the three store variants.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <vector>

#include "common/little_endian.h"
#include "engine/storage/engine_message.h"
#include "engine/storage/heap_id.h"
#include "engine/storage/heap_on_node.h"
#include "engine/storage/subnode_source.h"
#include "engine/storage/variant_traits.h"

namespace velmora::test {

using corvex::ByteBuffer;
using StoreVariants =
    ::testing::Types<corvex::AnsiTraits, corvex::UnicodeTraits, corvex::Unicode4KTraits>;

inline ByteBuffer U32(std::uint32_t v) {
    ByteBuffer out(4);
    common::StoreLE32(out.data(), v);
    return out;
}

inline void Append(ByteBuffer& out, const ByteBuffer& more) {
    out.insert(out.end(), more.begin(), more.end());
}

inline void PutLE(ByteBuffer& out, std::size_t offset, std::uint64_t v, std::size_t width) {
    if (out.size() < offset + width) out.resize(offset + width);
    for (std::size_t i = 0; i < width; ++i)
        out[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// One heap block: header, allocations in order, then the page map.
class HeapBlockBuilder {
  public:
    explicit HeapBlockBuilder(bool first = true) : data_(first ? 12 : 2, 0) {
        if (first) data_[2] = 0xEC;
    }
    HeapBlockBuilder& ClientSig(std::uint8_t sig) {
        data_[3] = sig;
        return *this;
    }
    HeapBlockBuilder& UserRoot(std::uint32_t hid) {
        PutLE(data_, 4, hid, 4);
        return *this;
    }
    // Returns the allocation's 1-based hidIndex.
    std::uint32_t Allocate(const ByteBuffer& bytes) {
        starts_.push_back(data_.size());
        Append(data_, bytes);
        return static_cast<std::uint32_t>(starts_.size());
    }
    ByteBuffer Build() const {
        ByteBuffer out = data_;
        if (out.size() % 2 != 0) out.push_back(0);
        const std::size_t end = data_.size();
        PutLE(out, 0, out.size(), 2);
        ByteBuffer map;
        PutLE(map, 0, starts_.size(), 2);
        PutLE(map, 2, 0, 2);
        for (std::size_t start : starts_) PutLE(map, map.size(), start, 2);
        PutLE(map, map.size(), end, 2);
        Append(out, map);
        return out;
    }

  private:
    ByteBuffer data_;
    std::vector<std::size_t> starts_;
};

template <typename V>
corvex::HeapOnNode<V> HeapOf(const std::vector<ByteBuffer>& blocks) {
    corvex::HeapOnNode<V> heap;
    for (const ByteBuffer& block : blocks) heap.Append(corvex::HeapBlock(block));
    return heap;
}

inline ByteBuffer BthHeaderBytes(std::uint8_t cbKey, std::uint8_t cbEnt, std::uint8_t levels,
                                 std::uint32_t hidRoot) {
    ByteBuffer out{0xB5, cbKey, cbEnt, levels};
    Append(out, U32(hidRoot));
    return out;
}

// Subnode data held in memory, block by block.
class FakeSubnodes : public corvex::SubnodeSource {
  public:
    void Put(std::uint32_t nid, std::vector<ByteBuffer> blocks) { data_[nid] = std::move(blocks); }
    ByteBuffer ReadData(std::uint32_t nid) const override {
        ByteBuffer joined;
        for (const ByteBuffer& block : ReadDataBlocks(nid)) Append(joined, block);
        return joined;
    }
    std::vector<ByteBuffer> ReadDataBlocks(std::uint32_t nid) const override {
        auto it = data_.find(nid);
        return it != data_.end() ? it->second : std::vector<ByteBuffer>{};
    }
    const corvex::SubnodeTree& Tree() const override { return tree_; }

  private:
    std::map<std::uint32_t, std::vector<ByteBuffer>> data_;
    corvex::SubnodeTree tree_;
};

// Counts the engine's messages from construction on.
class MessageCount {
  public:
    MessageCount() { corvex::ResetRecordedEngineMessages(); }
    std::size_t Shown() const { return corvex::RecordedEngineMessages().count; }
};

}  // namespace velmora::test
