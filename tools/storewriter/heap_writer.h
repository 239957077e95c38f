// Builds a node's heap: allocations packed into heap blocks of at most one data
// block each, the first block opening with the heap header, every later one
// with a page header (or, every 128 blocks, a fill-level bitmap header), and
// each closing with its page map. Allocations are named by HIDs whose index
// and block-index bits follow the store variant.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

constexpr std::uint8_t kClientSigPropertyContext = 0xBC;
constexpr std::uint8_t kClientSigTableContext = 0x7C;
constexpr std::uint8_t kClientSigBth = 0xB5;
// Values larger than this never go into a heap; they are kept in subnodes.
constexpr std::size_t kMaxHeapAllocation = 3580;

class HeapWriter {
  public:
    HeapWriter(const VariantLayout& layout, std::uint8_t clientSig);

    // Returns the allocation's HID; `bytes` must not exceed kMaxHeapAllocation.
    std::uint32_t Allocate(std::span<const std::uint8_t> bytes);
    void SetUserRoot(std::uint32_t hid) { userRoot_ = hid; }

    // The heap blocks, each ready to be one data block.
    std::vector<std::vector<std::uint8_t>> Finish() const;

    std::uint32_t MakeHid(std::size_t blockIndex, std::size_t hidIndex) const;

  private:
    struct Block {
        std::vector<std::uint8_t> data;     // header and allocations
        std::vector<std::uint16_t> starts;  // where each allocation begins
    };

    static std::size_t HeaderSize(std::size_t blockIndex);
    bool Fits(const Block& block, std::size_t size) const;
    void OpenBlock();
    std::vector<std::uint8_t> Seal(const Block& block) const;
    void WriteFillLevels(std::vector<std::vector<std::uint8_t>>& sealed) const;

    const VariantLayout& layout_;
    std::uint8_t clientSig_;
    std::uint32_t userRoot_ = 0;
    std::vector<Block> blocks_;
};

}  // namespace velmora::storewriter
