// Writes a store's node database: data blocks, data trees, subnode trees, the
// block and node B-trees, the allocation maps and the header.
//
// Blocks go to a spool file the moment they are added; only the B-tree records
// stay in memory, so stores of any size can be written. WriteTo lays out the
// B-tree pages and maps behind the blocks, writes the header and gives the
// file its name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tools/storewriter/writer_options.h"

namespace velmora::storewriter {

class StoreWriter {
  public:
    explicit StoreWriter(WriterOptions options);
    ~StoreWriter();
    StoreWriter(const StoreWriter&) = delete;
    StoreWriter& operator=(const StoreWriter&) = delete;

    // One external block of at most MaxBlockData() bytes; returns its BID, or 0
    // on failure (WriteTo then reports it).
    std::uint64_t AddDataBlock(std::span<const std::uint8_t> bytes);
    // A value of any size up to what an XXBLOCK holds: one block, or a data tree
    // when larger. Returns the BID to store in a node.
    std::uint64_t AddData(std::span<const std::uint8_t> bytes);
    // A value already cut into blocks of at most MaxBlockData() bytes: one data
    // block per entry, under a data tree when there are several.
    std::uint64_t AddDataBlocks(std::span<const std::vector<std::uint8_t>> blocks);
    // A value of `bytes` (at most MaxBlockData()) repeated `count` times, the
    // block written once and shared by every place of the data tree.
    std::uint64_t AddRepeatedData(std::span<const std::uint8_t> bytes, std::uint64_t count);
    // A subnode tree over `entries` (any order); returns the BID for bidSub, 0
    // for no entries.
    std::uint64_t AddSubnodeTree(std::span<const SubnodeSpec> entries);
    // Adding a NID again replaces the earlier node.
    void AddNode(std::uint32_t nid, std::uint64_t bidData, std::uint64_t bidSub,
                 std::uint32_t nidParent);

    // Finishes the store and moves it to `path`. Once only; later calls fail.
    bool WriteTo(const std::filesystem::path& path, std::string* error);

    std::size_t MaxBlockData() const;
    std::size_t BlockCount() const;
    std::size_t NodeCount() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velmora::storewriter
