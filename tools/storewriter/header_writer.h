// Builds the file header: magic, version, the next BIDs and NIDs, the root of
// each B-tree, the allocation summary and both CRCs.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/storewriter/allocation_map_writer.h"
#include "tools/storewriter/btree_writer.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

struct HeaderFields {
    std::uint8_t cryptMethod = 0;
    std::uint64_t fileEof = 0;
    MapSummary maps;
    PageRef nodeRoot;
    PageRef blockRoot;
    std::uint64_t nextBid = 0;
    std::uint64_t nextPageBid = 0;
    std::uint32_t unique = 0;
    std::array<std::uint32_t, 32> nextNidIndex{};  // per NID type
};

std::vector<std::uint8_t> BuildHeader(const VariantLayout& layout, const HeaderFields& fields);

}  // namespace velmora::storewriter
