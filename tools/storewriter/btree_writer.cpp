#include "tools/storewriter/btree_writer.h"

#include <algorithm>

#include "common/little_endian.h"
#include "tools/storewriter/page_trailer.h"

namespace velmora::storewriter {

PageRef BTreeWriter::Write(std::uint8_t ptype, std::size_t count, std::size_t leafSize,
                           const LeafSerializer& leaf) {
    ptype_ = ptype;
    failed_ = false;
    std::vector<PageRef> refs = WriteLevel(count, leafSize, 0, leaf);
    const std::size_t refSize = layout_.IntermediateSize();
    for (std::uint8_t level = 1; refs.size() > 1; ++level) {
        const std::vector<PageRef> children = std::move(refs);
        refs = WriteLevel(children.size(), refSize, level, [&](std::size_t i, std::uint8_t* out) {
            StoreId(layout_, out, children[i].key);
            StoreId(layout_, out + layout_.idWidth, children[i].bid);
            StoreId(layout_, out + 2 * layout_.idWidth, children[i].ib);
            return children[i].key;
        });
    }
    if (failed_) return {};
    return refs.front();
}

std::vector<PageRef> BTreeWriter::WriteLevel(std::size_t count, std::size_t entrySize,
                                             std::uint8_t level, const LeafSerializer& entry) {
    // An empty tree is one empty leaf page.
    std::vector<PageRef> refs;
    const std::size_t perPage = Capacity(entrySize);
    std::size_t first = 0;
    do {
        const std::size_t n = std::min(perPage, count - first);
        refs.push_back(WritePage(first, n, entrySize, level, entry));
        first += n;
    } while (first < count);
    return refs;
}

PageRef BTreeWriter::WritePage(std::size_t first, std::size_t count, std::size_t entrySize,
                               std::uint8_t level, const LeafSerializer& entry) {
    page_.assign(layout_.pageSize, 0);
    PageRef ref;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t key = entry(first + i, page_.data() + i * entrySize);
        if (i == 0) ref.key = key;
    }
    PutMeta(page_.data() + layout_.pageMetaOffset, count, entrySize, level);
    ref.bid = nextPageBid_++;
    ref.ib = allocator_.Allocate(layout_.pageSize, layout_.pageSize);
    SealPage(layout_, page_, ptype_, PlacementSignature(ref.ib, ref.bid), ref.bid);
    if (!spool_.WriteAt(ref.ib, page_)) failed_ = true;
    return ref;
}

void BTreeWriter::PutMeta(std::uint8_t* meta, std::size_t count, std::size_t entrySize,
                          std::uint8_t level) const {
    const std::size_t capacity = Capacity(entrySize);
    if (layout_.wideEntryCounts) {
        common::StoreLE16(meta, static_cast<std::uint16_t>(count));
        common::StoreLE16(meta + 2, static_cast<std::uint16_t>(capacity));
        meta[4] = static_cast<std::uint8_t>(entrySize);
        meta[5] = level;
    } else {
        meta[0] = static_cast<std::uint8_t>(count);
        meta[1] = static_cast<std::uint8_t>(capacity);
        meta[2] = static_cast<std::uint8_t>(entrySize);
        meta[3] = level;
    }
}

}  // namespace velmora::storewriter
