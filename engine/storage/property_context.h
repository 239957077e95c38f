// Reads a property context (folder, message or attachment properties) from its
// node's heap into a PropertyMap.
#pragma once

#include "engine/storage/heap_on_node.h"
#include "engine/storage/property_map.h"
#include "engine/storage/subnode_source.h"

namespace corvex {

// Adds the context's properties to `out` in record order. A heap that is not a
// property context, or whose BTH is empty or has index levels, adds nothing.
// Values held in subnodes come out flagged, with `owner.Tree()` as their owner.
template <typename V>
void ReadPropertyContext(const HeapOnNode<V>& heap, const SubnodeSource& owner, PropertyMap& out);

}  // namespace corvex
