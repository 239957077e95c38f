#include "engine/storage/node_database.h"

#include "engine/storage/instantiate.h"
#include "engine/storage/robustness_limits.h"

namespace corvex {

template <typename V>
bool NodeDatabase<V>::Open(const std::string& path, std::string& errorText) {
    return file_.Open(path, errorText);
}

template <typename V>
void NodeDatabase<V>::Load(StopToken stop, SubnodeTrees subnodeTrees) {
    header_.Read(file_);
    reader_.SetCryptMethod(header_.CryptMethod());
    BTreeLoader<V> loader(file_, stop);
    loader.LoadBlockTree(header_.BbtRootIb(), blocks_);
    auto subnodes = std::make_unique<SubnodeLoader<V>>(
        reader_, kSubnodeBudgetFloor + file_.Size() / kMinBytesPerSubnodeEntry,
        kSubnodeBytesFloor + kSubnodeBytesPerFileByte<V> * file_.Size());
    if (subnodeTrees == SubnodeTrees::kOnDemand) {
        loader.LoadNodeTree(header_.NbtRootIb(), nodes_, nullptr);
        onDemand_ = std::move(subnodes);
        return;
    }
    loader.LoadNodeTree(header_.NbtRootIb(), nodes_, subnodes.get());
}

template <typename V>
std::unique_ptr<SubnodeTree> NodeDatabase<V>::ReadSubnodeTree(const NbtEntry& node) const {
    return onDemand_ != nullptr ? onDemand_->Load(node.bidSub) : nullptr;
}

template <typename V>
ByteBuffer NodeDatabase<V>::ReadSubnodeData(const SubnodeTree& tree, std::uint32_t nid) const {
    const SubnodeEntry* entry = tree.Find(nid);
    return entry != nullptr ? reader_.ReadBlock(entry->bidData) : ByteBuffer{};
}

CORVEX_INSTANTIATE_CLASS(NodeDatabase)

}  // namespace corvex
