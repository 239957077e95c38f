// Reads a table context (the recipient or attachment list of a message, a
// folder's contents) from its node's heap into TableRows.
#pragma once

#include <vector>

#include "engine/storage/heap_on_node.h"
#include "engine/storage/subnode_source.h"
#include "engine/storage/table_row.h"

namespace corvex {

// Appends the table's rows to `rows` in ascending row index. Each row is taken
// from its place in the row matrix; only when the row ID found there is not the
// expected one is the matrix scanned for it, from the end of the previous row.
// A heap that is not a table context, or has an empty row index, adds nothing.
template <typename V>
void ReadTableContext(const HeapOnNode<V>& heap, const SubnodeSource& subnodes,
                      std::vector<TableRow>& rows);

}  // namespace corvex
