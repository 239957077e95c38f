#include "tools/storewriter/store_finisher.h"

#include "common/little_endian.h"
#include "tools/storewriter/allocation_map_writer.h"
#include "tools/storewriter/header_writer.h"
#include "tools/storewriter/page_trailer.h"

namespace velmora::storewriter {
namespace {

// Page BIDs count on their own, from well above the reserved range.
constexpr std::uint64_t kFirstPageBid = 0x100;
constexpr std::uint64_t kAnsiLimit = 0xFFFFFFFFu;

}  // namespace

StoreFinisher::StoreFinisher(const VariantLayout& layout, const WriterOptions& options,
                             SpoolFile& spool, SpaceAllocator& allocator)
    : layout_(layout),
      options_(options),
      spool_(spool),
      allocator_(allocator),
      nextPageBid_(kFirstPageBid),
      btrees_(layout, spool, allocator, nextPageBid_) {}

bool StoreFinisher::Fail(const std::string& why) {
    if (error_.empty()) error_ = why;
    return false;
}

PageRef StoreFinisher::WriteBlockTree(const std::vector<BlockRecord>& records) {
    const std::size_t w = layout_.idWidth;
    return btrees_.Write(kPtypeBbt, records.size(), layout_.BbtLeafSize(),
                         [&](std::size_t i, std::uint8_t* out) {
                             StoreId(layout_, out, records[i].bid);
                             StoreId(layout_, out + w, records[i].ib);
                             common::StoreLE16(out + 2 * w, records[i].cb);
                             common::StoreLE16(out + 2 * w + 2, records[i].cRef);
                             return records[i].bid;
                         });
}

PageRef StoreFinisher::WriteNodeTree(const std::vector<NodeRecord>& records) {
    const std::size_t w = layout_.idWidth;
    return btrees_.Write(kPtypeNbt, records.size(), layout_.NbtLeafSize(),
                         [&](std::size_t i, std::uint8_t* out) {
                             StoreId(layout_, out, records[i].nid);
                             StoreId(layout_, out + w, records[i].bidData);
                             StoreId(layout_, out + 2 * w, records[i].bidSub);
                             common::StoreLE32(out + 3 * w, records[i].nidParent);
                             return std::uint64_t{records[i].nid};
                         });
}

bool StoreFinisher::Finish(const BlockWriter& blocks, const NodeTable& nodes) {
    HeaderFields fields;
    fields.blockRoot = WriteBlockTree(blocks.Records());
    fields.nodeRoot = WriteNodeTree(nodes.Sorted());
    if (fields.blockRoot.bid == 0 || fields.nodeRoot.bid == 0) return Fail(spool_.Error());
    fields.fileEof = allocator_.End();
    if (layout_.Ansi() && fields.fileEof > kAnsiLimit)
        return Fail("the store outgrows the 4 GiB an ANSI file can address");
    AllocationMapWriter maps(layout_, allocator_, spool_);
    if (!maps.Write(fields.fileEof, fields.maps)) return Fail(spool_.Error());
    fields.cryptMethod = options_.cryptMethod;
    fields.nextBid = blocks.NextBid();
    fields.nextPageBid = nextPageBid_;
    fields.unique = static_cast<std::uint32_t>(nodes.Size());
    fields.nextNidIndex = nodes.NextNidIndexes();
    if (!spool_.WriteAt(0, BuildHeader(layout_, fields)) || !spool_.Resize(fields.fileEof))
        return Fail(spool_.Error());
    return true;
}

}  // namespace velmora::storewriter
