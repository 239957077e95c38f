#include "engine/storage/node_database.h"

#include "engine/storage/instantiate.h"
#include "engine/storage/robustness_limits.h"

namespace corvex {

template <typename V>
bool NodeDatabase<V>::Open(const std::string& path, std::string& errorText) {
    return file_.Open(path, errorText);
}

template <typename V>
void NodeDatabase<V>::Load(StopToken stop) {
    header_.Read(file_);
    reader_.SetCryptMethod(header_.CryptMethod());
    BTreeLoader<V> loader(file_, stop);
    loader.LoadBlockTree(header_.BbtRootIb(), blocks_);
    SubnodeLoader<V> subnodes(reader_,
                              kSubnodeBudgetFloor + file_.Size() / kMinBytesPerSubnodeEntry,
                              kSubnodeBytesFloor + kSubnodeBytesPerFileByte<V> * file_.Size());
    loader.LoadNodeTree(header_.NbtRootIb(), nodes_, subnodes);
}

template <typename V>
ByteBuffer NodeDatabase<V>::ReadSubnodeData(const SubnodeTree& tree, std::uint32_t nid) const {
    const SubnodeEntry* entry = tree.Find(nid);
    return entry != nullptr ? reader_.ReadBlock(entry->bidData) : ByteBuffer{};
}

CORVEX_INSTANTIATE_CLASS(NodeDatabase)

}  // namespace corvex
