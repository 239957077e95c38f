// A node's data block by block, without joining a data tree into one buffer:
// heaps address their blocks by position, and table rows are packed per block.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/storage/block_reader.h"
#include "engine/storage/heap_on_node.h"

namespace corvex {

// The data blocks behind `bid` in order: the leaves of its data tree, or the
// block itself when it is not a tree. A tree entry whose block is missing keeps
// its place as an empty buffer. An unknown `bid` gives no blocks.
template <typename V>
std::vector<ByteBuffer> ReadDataBlocks(const BlockReader<V>& reader, std::uint64_t bid);

// Appends one HeapBlock per data block behind `bid` (a node's or subnode's
// bidData) to `heap`.
template <typename V>
void ReadHeapBlocks(const BlockReader<V>& reader, std::uint64_t bid, HeapOnNode<V>& heap);

}  // namespace corvex
