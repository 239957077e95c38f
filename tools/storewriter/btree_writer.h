// Writes a B-tree (the block or the node B-tree) bottom-up from its sorted leaf
// records: full leaf pages, then levels of intermediate pages keyed by the
// first key below each child, until one page, the root, remains.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "tools/storewriter/space_allocator.h"
#include "tools/storewriter/spool_file.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

// Where a page lies and the first key below it.
struct PageRef {
    std::uint64_t key = 0;
    std::uint64_t bid = 0;
    std::uint64_t ib = 0;
};

// Serializes leaf record `index` into `out` (leafSize bytes) and returns its key.
using LeafSerializer = std::function<std::uint64_t(std::size_t index, std::uint8_t* out)>;

class BTreeWriter {
  public:
    BTreeWriter(const VariantLayout& layout, SpoolFile& spool, SpaceAllocator& allocator,
                std::uint64_t& nextPageBid)
        : layout_(layout), spool_(spool), allocator_(allocator), nextPageBid_(nextPageBid) {}

    // Writes the tree over `count` records; returns the root page, whose bid is
    // 0 when the file refused a page.
    PageRef Write(std::uint8_t ptype, std::size_t count, std::size_t leafSize,
                  const LeafSerializer& leaf);

  private:
    std::size_t Capacity(std::size_t entrySize) const { return layout_.pageMetaOffset / entrySize; }
    std::vector<PageRef> WriteLevel(std::size_t count, std::size_t entrySize, std::uint8_t level,
                                    const LeafSerializer& entry);
    PageRef WritePage(std::size_t first, std::size_t count, std::size_t entrySize,
                      std::uint8_t level, const LeafSerializer& entry);
    void PutMeta(std::uint8_t* meta, std::size_t count, std::size_t entrySize,
                 std::uint8_t level) const;

    const VariantLayout& layout_;
    SpoolFile& spool_;
    SpaceAllocator& allocator_;
    std::uint64_t& nextPageBid_;
    std::uint8_t ptype_ = 0;
    std::vector<std::uint8_t> page_;
    bool failed_ = false;
};

}  // namespace velmora::storewriter
