#include "tools/storewriter/heap_writer.h"

#include "common/little_endian.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint8_t kHeapSignature = 0xEC;
constexpr std::size_t kHeapHeaderSize = 12;  // ibHnpm, bSig, bClientSig, hidUserRoot, rgbFillLevel
constexpr std::size_t kPageHeaderSize = 2;   // ibHnpm
constexpr std::size_t kBitmapHeaderSize = 66;  // ibHnpm, rgbFillLevel[64]
constexpr std::size_t kBitmapPeriod = 128;
constexpr std::size_t kFirstBitmapBlock = 8;
constexpr std::size_t kPageMapHeaderSize = 4;  // cAlloc, cFree

bool IsBitmapBlock(std::size_t blockIndex) {
    return blockIndex >= kFirstBitmapBlock && (blockIndex - kFirstBitmapBlock) % kBitmapPeriod == 0;
}

std::size_t AlignEven(std::size_t n) {
    return (n + 1) & ~std::size_t{1};
}

// The 4-bit fill level of a block with `free` unused bytes: 0 for a block with
// room to spare, 15 for a full one.
std::uint8_t FillLevel(std::size_t free) {
    static constexpr std::size_t kThresholds[] = {3584, 2560, 2048, 1792, 1536, 1280, 1024, 768,
                                                  512,  256,  128,  64,   32,   16,   8};
    std::uint8_t level = 0;
    for (const std::size_t threshold : kThresholds) {
        if (free >= threshold) return level;
        ++level;
    }
    return level;
}

void SetNibble(std::uint8_t* levels, std::size_t index, std::uint8_t level) {
    levels[index / 2] = static_cast<std::uint8_t>(levels[index / 2] | (level << (4 * (index % 2))));
}

}  // namespace

HeapWriter::HeapWriter(const VariantLayout& layout, std::uint8_t clientSig)
    : layout_(layout), clientSig_(clientSig) {
    OpenBlock();
}

std::size_t HeapWriter::HeaderSize(std::size_t blockIndex) {
    if (blockIndex == 0) return kHeapHeaderSize;
    return IsBitmapBlock(blockIndex) ? kBitmapHeaderSize : kPageHeaderSize;
}

std::uint32_t HeapWriter::MakeHid(std::size_t blockIndex, std::size_t hidIndex) const {
    const unsigned indexBits = layout_.FourK() ? 14 : 11;
    return static_cast<std::uint32_t>((blockIndex << (5 + indexBits)) | (hidIndex << 5));
}

bool HeapWriter::Fits(const Block& block, std::size_t size) const {
    const std::size_t maxIndex = layout_.FourK() ? 0x3FFF : 0x7FF;
    const std::size_t count = block.starts.size() + 1;
    const std::size_t mapSize = kPageMapHeaderSize + 2 * (count + 1);
    return count <= maxIndex &&
           AlignEven(block.data.size() + size) + mapSize <= layout_.maxBlockData;
}

void HeapWriter::OpenBlock() {
    Block block;
    block.data.assign(HeaderSize(blocks_.size()), 0);
    blocks_.push_back(std::move(block));
}

std::uint32_t HeapWriter::Allocate(std::span<const std::uint8_t> bytes) {
    if (!Fits(blocks_.back(), bytes.size())) OpenBlock();
    Block& block = blocks_.back();
    block.starts.push_back(static_cast<std::uint16_t>(block.data.size()));
    block.data.insert(block.data.end(), bytes.begin(), bytes.end());
    return MakeHid(blocks_.size() - 1, block.starts.size());
}

std::vector<std::uint8_t> HeapWriter::Seal(const Block& block) const {
    std::vector<std::uint8_t> out = block.data;
    const std::size_t end = out.size();
    out.resize(AlignEven(end), 0);
    const std::size_t map = out.size();
    common::StoreLE16(out.data(), static_cast<std::uint16_t>(map));
    out.resize(map + kPageMapHeaderSize + 2 * (block.starts.size() + 1), 0);
    common::StoreLE16(out.data() + map, static_cast<std::uint16_t>(block.starts.size()));
    std::size_t at = map + kPageMapHeaderSize;
    for (const std::uint16_t start : block.starts) {
        common::StoreLE16(out.data() + at, start);
        at += 2;
    }
    common::StoreLE16(out.data() + at, static_cast<std::uint16_t>(end));
    return out;
}

void HeapWriter::WriteFillLevels(std::vector<std::vector<std::uint8_t>>& sealed) const {
    for (std::size_t i = 0; i < sealed.size(); ++i) {
        const std::uint8_t level = FillLevel(layout_.maxBlockData - sealed[i].size());
        if (i < kFirstBitmapBlock) {
            SetNibble(sealed[0].data() + 8, i, level);
        } else {
            const std::size_t owner = i - (i - kFirstBitmapBlock) % kBitmapPeriod;
            SetNibble(sealed[owner].data() + 2, i - owner, level);
        }
    }
}

std::vector<std::vector<std::uint8_t>> HeapWriter::Finish() const {
    std::vector<std::vector<std::uint8_t>> sealed;
    sealed.reserve(blocks_.size());
    for (const Block& block : blocks_) sealed.push_back(Seal(block));
    std::uint8_t* header = sealed[0].data();
    header[2] = kHeapSignature;
    header[3] = clientSig_;
    common::StoreLE32(header + 4, userRoot_);
    WriteFillLevels(sealed);
    return sealed;
}

}  // namespace velmora::storewriter
