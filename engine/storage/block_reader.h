// Turns a BID into the bytes of a block: reads it, inflates it (4K variant),
// removes the crypt encoding of external blocks and assembles data trees
// (XBLOCK / XXBLOCK) into one buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/little_endian.h"
#include "engine/storage/btree_records.h"
#include "engine/storage/keyed_index.h"
#include "engine/storage/robustness_limits.h"
#include "engine/storage/store_file.h"

namespace corvex {

using ByteBuffer = std::vector<std::uint8_t>;

constexpr std::uint64_t kBidInternalBit = 0x2;
constexpr std::uint8_t kBtypeDataTree = 0x01;
constexpr std::uint8_t kBtypeSubnodeTree = 0x02;

// An internal data tree block (XBLOCK over data blocks, XXBLOCK over XBLOCKs):
// the total size it declares and the BIDs of its children, no more of them than
// the block holds after its header, whatever its count claims.
struct DataTreeBlock {
    std::uint32_t lcbTotal = 0;
    std::vector<std::uint64_t> children;
};

// The data tree that `block`, read for `bid`, holds; no value when it is an
// external block or an internal block of another kind.
template <typename V>
std::optional<DataTreeBlock> ParseDataTree(std::uint64_t bid, common::Bytes block);

template <typename V>
using BlockMap = KeyedIndex<BbtEntry<V>>;

template <typename V>
class BlockReader {
  public:
    BlockReader(const StoreFile& file, const BlockMap<V>& blocks, std::uint8_t cryptMethod)
        : file_(file), blocks_(blocks), cryptMethod_(cryptMethod) {}

    // The block's record, looked up with bit 0 of the BID cleared.
    const BbtEntry<V>* Lookup(std::uint64_t bid) const {
        return blocks_.Find(bid & ~std::uint64_t{1});
    }

    // The block's bytes: decoded, inflated and, for a data tree, assembled.
    // An unknown BID yields an empty buffer.
    ByteBuffer ReadBlock(std::uint64_t bid) const { return ReadEntry(Lookup(bid), 0); }
    ByteBuffer ReadEntry(const BbtEntry<V>* entry) const { return ReadEntry(entry, 0); }

    // The block as stored after inflation and decoding, without following a data
    // tree: what a heap reads for each of its blocks.
    ByteBuffer ReadSingleBlock(const BbtEntry<V>* entry) const;

    std::uint8_t CryptMethod() const { return cryptMethod_; }
    void SetCryptMethod(std::uint8_t method) { cryptMethod_ = method; }
    // Largest buffer a data tree may assemble; bounds what a hostile lcbTotal can claim.
    std::uint64_t MaxValueSize() const;

  private:
    ByteBuffer ReadEntry(const BbtEntry<V>* entry, int depth) const;
    ByteBuffer ReadStored(const BbtEntry<V>& entry) const;
    ByteBuffer AssembleDataTree(const DataTreeBlock& tree, int depth) const;

    const StoreFile& file_;
    const BlockMap<V>& blocks_;
    std::uint8_t cryptMethod_;
};

}  // namespace corvex
