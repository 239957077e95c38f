// The last steps of writing a store, after all blocks are on disk: the block
// B-tree, the node B-tree, the allocation maps and the header.
#pragma once

#include <string>

#include "tools/storewriter/block_writer.h"
#include "tools/storewriter/btree_writer.h"
#include "tools/storewriter/node_table.h"
#include "tools/storewriter/space_allocator.h"
#include "tools/storewriter/spool_file.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

class StoreFinisher {
  public:
    StoreFinisher(const VariantLayout& layout, const WriterOptions& options, SpoolFile& spool,
                  SpaceAllocator& allocator);

    bool Finish(const BlockWriter& blocks, const NodeTable& nodes);
    const std::string& Error() const { return error_; }

  private:
    PageRef WriteBlockTree(const std::vector<BlockRecord>& records);
    PageRef WriteNodeTree(const std::vector<NodeRecord>& records);
    bool Fail(const std::string& why);

    const VariantLayout& layout_;
    const WriterOptions& options_;
    SpoolFile& spool_;
    SpaceAllocator& allocator_;
    std::uint64_t nextPageBid_;
    BTreeWriter btrees_;
    std::string error_;
};

}  // namespace velmora::storewriter
