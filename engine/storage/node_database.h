// An open store's node database: the file, its header, and the block and node
// B-trees held in memory with every node's subnode tree. Built once at open and
// read-only afterwards. A reader that needs few nodes' subnodes (a listing of
// message lines) may leave them to be read when asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/storage/block_reader.h"
#include "engine/storage/btree_loader.h"
#include "engine/storage/header_image.h"
#include "engine/storage/stop_token.h"
#include "engine/storage/store_file.h"
#include "engine/storage/subnode_loader.h"

namespace corvex {

template <typename V>
class NodeDatabase {
  public:
    // Opens the file read-only; on failure `errorText` holds the system's message.
    bool Open(const std::string& path, std::string& errorText);
    enum class SubnodeTrees { kAtLoad, kOnDemand };

    // Reads the header, then the block B-tree, then the node B-tree, with
    // every node's subnode tree unless they are to be read on demand.
    void Load(StopToken stop, SubnodeTrees subnodeTrees = SubnodeTrees::kAtLoad);
    void Close() { file_.Close(); }

    const HeaderImage<V>& Header() const { return header_; }
    const StoreFile& File() const { return file_; }
    const BlockTree<V>& Blocks() const { return blocks_; }
    const NodeTree<V>& Nodes() const { return nodes_; }
    const FolderWalker& Walker() const { return nodes_.walker; }
    const BlockReader<V>& Reader() const { return reader_; }

    // A subnode's data (its data tree assembled), or empty when it is unknown.
    ByteBuffer ReadSubnodeData(const SubnodeTree& tree, std::uint32_t nid) const;

    // The subnode tree of `node` of a database loaded with kOnDemand, read
    // now within the same store-wide budgets as a load of all of them; null
    // when it has none. Not to be called from two threads at once.
    std::unique_ptr<SubnodeTree> ReadSubnodeTree(const NbtEntry& node) const;

  private:
    StoreFile file_;
    HeaderImage<V> header_;
    BlockTree<V> blocks_;
    NodeTree<V> nodes_;
    BlockReader<V> reader_{file_, blocks_.map, 0};
    mutable std::unique_ptr<SubnodeLoader<V>> onDemand_;
};

}  // namespace corvex
