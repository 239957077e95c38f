// Lays out a property context: a heap whose BTH maps each property id to its
// type and value, small fixed values in the record itself, the others in the
// heap or, when large, in subnodes.
#pragma once

#include <span>

#include "tools/storewriter/node_content.h"
#include "tools/storewriter/property_value.h"
#include "tools/storewriter/value_placement.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

// Properties in any order; with a repeated id the first one is kept. The
// result's subnodes hold the large values.
NodeContent BuildPropertyContext(const VariantLayout& layout,
                                 std::span<const PropertyValue> properties, SubnodeNids& nids);

}  // namespace velmora::storewriter
