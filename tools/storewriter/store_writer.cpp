#include "tools/storewriter/store_writer.h"

#include "tools/storewriter/block_writer.h"
#include "tools/storewriter/data_tree_writer.h"
#include "tools/storewriter/node_table.h"
#include "tools/storewriter/store_finisher.h"
#include "tools/storewriter/subnode_tree_writer.h"

namespace velmora::storewriter {

struct StoreWriter::State {
    explicit State(WriterOptions o)
        : options(std::move(o)),
          layout(LayoutFor(options.variant)),
          allocator(layout),
          blocks(layout, options, spool, allocator),
          dataTrees(layout, blocks),
          subnodeTrees(layout, blocks) {}

    WriterOptions options;
    const VariantLayout& layout;
    SpoolFile spool;
    SpaceAllocator allocator;
    BlockWriter blocks;
    DataTreeWriter dataTrees;
    SubnodeTreeWriter subnodeTrees;
    NodeTable nodes;
    bool finished = false;
};

StoreWriter::StoreWriter(WriterOptions options)
    : state_(std::make_unique<State>(std::move(options))) {
    std::filesystem::path spoolDirectory = state_->options.spoolDirectory;
    if (spoolDirectory.empty()) spoolDirectory = std::filesystem::temp_directory_path();
    state_->spool.Create(spoolDirectory);
}

StoreWriter::~StoreWriter() = default;

std::uint64_t StoreWriter::AddDataBlock(std::span<const std::uint8_t> bytes) {
    return state_->blocks.Write(bytes, BlockKind::kData);
}

std::uint64_t StoreWriter::AddData(std::span<const std::uint8_t> bytes) {
    return state_->dataTrees.Write(bytes);
}

std::uint64_t StoreWriter::AddDataBlocks(std::span<const std::vector<std::uint8_t>> blocks) {
    return state_->dataTrees.WriteBlocks(blocks);
}

std::uint64_t StoreWriter::AddRepeatedData(std::span<const std::uint8_t> bytes,
                                           std::uint64_t count) {
    return state_->dataTrees.WriteRepeated(bytes, count);
}

std::uint64_t StoreWriter::AddSubnodeTree(std::span<const SubnodeSpec> entries) {
    return state_->subnodeTrees.Write(entries);
}

void StoreWriter::AddNode(std::uint32_t nid, std::uint64_t bidData, std::uint64_t bidSub,
                          std::uint32_t nidParent) {
    state_->nodes.Add({nid, bidData, bidSub, nidParent});
}

std::size_t StoreWriter::MaxBlockData() const {
    return state_->layout.maxBlockData;
}
std::size_t StoreWriter::BlockCount() const {
    return state_->blocks.Records().size();
}
std::size_t StoreWriter::NodeCount() const {
    return state_->nodes.Size();
}

bool StoreWriter::WriteTo(const std::filesystem::path& path, std::string* error) {
    State& s = *state_;
    std::string failure;
    if (s.finished) failure = "the store was already written";
    if (failure.empty()) failure = s.dataTrees.Error();
    if (failure.empty()) failure = s.blocks.Error();
    if (failure.empty()) {
        s.finished = true;
        StoreFinisher finisher(s.layout, s.options, s.spool, s.allocator);
        if (!finisher.Finish(s.blocks, s.nodes) || !s.spool.CommitAs(path)) {
            failure = finisher.Error().empty() ? s.spool.Error() : finisher.Error();
        }
    }
    if (error != nullptr) *error = failure;
    return failure.empty();
}

}  // namespace velmora::storewriter
