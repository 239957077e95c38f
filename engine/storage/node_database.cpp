#include "engine/storage/node_database.h"

#include "engine/storage/instantiate.h"

namespace corvex {
namespace {
// Every real subnode entry takes at least this many bytes of the file.
constexpr std::uint64_t kMinBytesPerSubnodeEntry = 8;
constexpr std::uint64_t kSubnodeBudgetFloor = 1 << 16;
// Bytes of subnode blocks read while loading: each real block is read once, and
// only in a 4K store can it grow, inflating to at most 128 times the 512 bytes it
// takes on disk.
template <typename V>
constexpr std::uint64_t kSubnodeBytesPerFileByte = V::kCompressed ? 128 : 8;
constexpr std::uint64_t kSubnodeBytesFloor = 4ull << 20;
}  // namespace

template <typename V>
bool NodeDatabase<V>::Open(const std::string& utf8Path, std::string& errorText) {
    return file_.Open(utf8Path, errorText);
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
