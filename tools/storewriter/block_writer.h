// Writes blocks to the spool as they come: gives each its BID, applies the
// store's encoding to data blocks, deflates 4K data blocks that shrink, adds the
// trailer, and keeps only the block B-tree record in memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/storewriter/space_allocator.h"
#include "tools/storewriter/spool_file.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

// One block B-tree leaf record.
struct BlockRecord {
    std::uint64_t bid;
    std::uint64_t ib;
    std::uint16_t cb;  // bytes stored (after deflation in 4K stores)
    std::uint16_t cRef;
};

// kTreeData is a data block listed by a data tree: encoded like any data
// block, but deflated only when it is not encoded, because another reader of
// 4K files decodes only the stored (deflated) length of an inflated data-tree
// block and garbles the rest.
enum class BlockKind { kData, kTreeData, kInternal };

class BlockWriter {
  public:
    BlockWriter(const VariantLayout& layout, const WriterOptions& options, SpoolFile& spool,
                SpaceAllocator& allocator);

    // Writes one block of at most the variant's block size; returns its BID, or
    // 0 when the block is too large or the file refused it (see Error()).
    std::uint64_t Write(std::span<const std::uint8_t> bytes, BlockKind kind);

    // Ascending by BID, since BIDs are handed out in order.
    const std::vector<BlockRecord>& Records() const { return records_; }
    std::uint64_t NextBid() const { return nextBid_; }
    const std::string& Error() const { return error_.empty() ? spool_.Error() : error_; }

  private:
    std::uint64_t TakeBid(BlockKind kind);
    // The bytes as stored: encoded when they are data, deflated when it pays.
    void PrepareStored(std::span<const std::uint8_t> bytes, BlockKind kind, std::uint64_t bid);
    void BuildImage(std::uint64_t bid, std::uint64_t ib, std::size_t inflatedSize);

    const VariantLayout& layout_;
    const WriterOptions& options_;
    SpoolFile& spool_;
    SpaceAllocator& allocator_;
    std::uint64_t nextBid_ = 4;
    std::vector<BlockRecord> records_;
    std::vector<std::uint8_t> encoded_;
    std::vector<std::uint8_t> deflated_;
    std::vector<std::uint8_t> image_;
    std::span<const std::uint8_t> stored_;
    std::string error_;
};

}  // namespace velmora::storewriter
