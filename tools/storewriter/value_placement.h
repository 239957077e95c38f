// Where a variable-size value of a property or table context goes: into the
// context's heap when it is small enough, otherwise into a subnode of its own.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/storewriter/heap_writer.h"
#include "tools/storewriter/node_content.h"

namespace velmora::storewriter {

// Hands out the NIDs of the subnodes below one node (NID_TYPE_LTP unless told).
class SubnodeNids {
  public:
    static constexpr std::uint32_t kLtpType = 0x1F;
    explicit SubnodeNids(std::uint32_t firstIndex = 0x100) : next_(firstIndex) {}
    std::uint32_t Next(std::uint32_t type = kLtpType) { return (next_++ << 5) | type; }

  private:
    std::uint32_t next_;
};

// Places `bytes` and returns the HNID to store: a HID, or the NID of a new
// subnode appended to `subnodes`.
std::uint32_t PlaceValue(HeapWriter& heap, std::span<const std::uint8_t> bytes, SubnodeNids& nids,
                         std::vector<SubnodeContent>& subnodes, std::size_t maxBlock);

}  // namespace velmora::storewriter
