// An open store's node database: the file, its header, and the block and node
// B-trees held in memory with every node's subnode tree. Built once at open and
// read-only afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/storage/block_reader.h"
#include "engine/storage/btree_loader.h"
#include "engine/storage/header_image.h"
#include "engine/storage/stop_token.h"
#include "engine/storage/store_file.h"

namespace corvex {

template <typename V>
class NodeDatabase {
  public:
    // Opens the file read-only; on failure `errorText` holds the system's message.
    bool Open(const std::string& path, std::string& errorText);
    // Reads the header, then the block B-tree, then the node B-tree.
    void Load(StopToken stop);
    void Close() { file_.Close(); }

    const HeaderImage<V>& Header() const { return header_; }
    const StoreFile& File() const { return file_; }
    const BlockTree<V>& Blocks() const { return blocks_; }
    const NodeTree<V>& Nodes() const { return nodes_; }
    const FolderWalker& Walker() const { return nodes_.walker; }
    const BlockReader<V>& Reader() const { return reader_; }

    // A subnode's data (its data tree assembled), or empty when it is unknown.
    ByteBuffer ReadSubnodeData(const SubnodeTree& tree, std::uint32_t nid) const;

  private:
    StoreFile file_;
    HeaderImage<V> header_;
    BlockTree<V> blocks_;
    NodeTree<V> nodes_;
    BlockReader<V> reader_{file_, blocks_.map, 0};
};

}  // namespace corvex
