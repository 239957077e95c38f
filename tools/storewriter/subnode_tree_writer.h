// Stores a node's subnode tree: one SLBLOCK when the entries fit, otherwise
// SLBLOCKs under as many levels of SIBLOCKs as it takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "tools/storewriter/block_writer.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

class SubnodeTreeWriter {
  public:
    SubnodeTreeWriter(const VariantLayout& layout, BlockWriter& blocks)
        : layout_(layout), blocks_(blocks) {}

    // The BID of the tree's top block; 0 for no entries or when writing failed.
    // Entries are written in NID order whatever order they come in.
    std::uint64_t Write(std::span<const SubnodeSpec> entries);

  private:
    // One SLENTRY (NID, bidData, bidSub) or SIENTRY (NID, BID): the NID first.
    struct Row {
        std::uint64_t ids[3];
    };

    // Writes `rows` into blocks of `level`, each as full as it may be; returns
    // one SIENTRY row per block for the level above, or nothing on failure.
    std::vector<Row> WriteLevel(std::span<const Row> rows, std::size_t idsPerRow,
                                std::uint8_t level);

    const VariantLayout& layout_;
    BlockWriter& blocks_;
};

}  // namespace velmora::storewriter
