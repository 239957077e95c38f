#include "tools/storewriter/block_writer.h"

#include <algorithm>

#include "common/little_endian.h"
#include "engine/storage/block_codec.h"
#include "engine/storage/inflate_block.h"
#include "tools/storewriter/format_crc.h"
#include "tools/storewriter/page_trailer.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint64_t kBidStep = 4;
constexpr std::uint64_t kBidInternalBit = 0x2;
// Each block is referenced by the block B-tree and by the one node or tree
// that names it.
constexpr std::uint16_t kBlockRefCount = 2;
// zlib's worst case for one block: its input plus a small fixed overhead.
constexpr std::size_t kDeflateSlack = 64;

}  // namespace

BlockWriter::BlockWriter(const VariantLayout& layout, const WriterOptions& options,
                         SpoolFile& spool, SpaceAllocator& allocator)
    : layout_(layout), options_(options), spool_(spool), allocator_(allocator) {}

std::uint64_t BlockWriter::TakeBid(BlockKind kind) {
    const std::uint64_t bid = nextBid_ | (kind == BlockKind::kInternal ? kBidInternalBit : 0);
    nextBid_ += kBidStep;
    return bid;
}

void BlockWriter::PrepareStored(std::span<const std::uint8_t> bytes, BlockKind kind,
                                std::uint64_t bid) {
    stored_ = bytes;
    const bool encoded = kind != BlockKind::kInternal && options_.cryptMethod != 0;
    if (encoded) {
        encoded_.assign(bytes.begin(), bytes.end());
        corvex::EncodeBlock(encoded_.data(), encoded_.size(), options_.cryptMethod, bid);
        stored_ = encoded_;
    }
    // Internal blocks stay uncompressed: other readers of 4K files take data
    // and subnode trees as stored and refuse deflated ones.
    const bool deflatable = kind == BlockKind::kData || (kind == BlockKind::kTreeData && !encoded);
    if (!layout_.FourK() || !options_.compress || !deflatable || stored_.empty()) return;
    deflated_.resize(stored_.size() + kDeflateSlack);
    std::size_t size = deflated_.size();
    if (corvex::DeflateBlock(stored_.data(), stored_.size(), deflated_.data(), size) &&
        size < stored_.size()) {
        stored_ = std::span<const std::uint8_t>(deflated_.data(), size);
    }
}

void BlockWriter::BuildImage(std::uint64_t bid, std::uint64_t ib, std::size_t inflatedSize) {
    const std::size_t cb = stored_.size();
    image_.assign(layout_.StoredBlockSize(cb), 0);
    std::copy(stored_.begin(), stored_.end(), image_.begin());
    std::uint8_t* trailer = image_.data() + image_.size() - layout_.blockTrailerSize;
    common::StoreLE16(trailer, static_cast<std::uint16_t>(cb));
    common::StoreLE16(trailer + 2, PlacementSignature(ib, bid));
    const std::uint32_t crc = FormatCrc(stored_);
    if (layout_.Ansi()) {
        common::StoreLE32(trailer + 4, static_cast<std::uint32_t>(bid));
        common::StoreLE32(trailer + 8, crc);
        return;
    }
    common::StoreLE32(trailer + 4, crc);
    common::StoreLE64(trailer + 8, bid);
    if (layout_.FourK()) common::StoreLE16(trailer + 18, static_cast<std::uint16_t>(inflatedSize));
}

std::uint64_t BlockWriter::Write(std::span<const std::uint8_t> bytes, BlockKind kind) {
    if (bytes.size() > layout_.maxBlockData) {
        if (error_.empty())
            error_ = "a block of " + std::to_string(bytes.size()) + " bytes exceeds the block size";
        return 0;
    }
    if (!spool_.IsOpen()) return 0;
    const std::uint64_t bid = TakeBid(kind);
    PrepareStored(bytes, kind, bid);
    const std::uint64_t ib =
        allocator_.Allocate(layout_.StoredBlockSize(stored_.size()), layout_.blockAlign);
    BuildImage(bid, ib, bytes.size());
    if (!spool_.WriteAt(ib, image_)) return 0;
    records_.push_back({bid, ib, static_cast<std::uint16_t>(stored_.size()), kBlockRefCount});
    return bid;
}

}  // namespace velmora::storewriter
