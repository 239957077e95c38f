#include "tools/storewriter/synthetic_store.h"

namespace velmora::storewriter {
namespace {

constexpr std::uint32_t kNidTypeFolder = 0x02;
constexpr std::uint32_t kNidTypeMessage = 0x04;
constexpr std::uint32_t kNidTypeLtp = 0x1F;
constexpr std::uint32_t kFirstSyntheticFolderIndex = 0x400;
constexpr std::uint32_t kFirstSyntheticMessageIndex = 0x10000;
constexpr std::uint32_t kFirstSubnodeIndex = 0x20;

std::uint32_t MakeNid(std::uint32_t index, std::uint32_t type) {
    return (index << 5) | type;
}

// splitmix64: cheap, well mixed, and the same everywhere.
std::uint64_t Mix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t AddNodeData(StoreWriter& writer, std::uint64_t seed, std::uint64_t key,
                          std::size_t size) {
    return writer.AddData(SyntheticBytes(seed, key, size));
}

bool AddMessage(StoreWriter& writer, const SyntheticStoreShape& shape, std::uint32_t nid,
                std::uint32_t parent) {
    std::vector<SubnodeSpec> subnodes;
    for (std::uint32_t i = 0; i < shape.subnodesPerMessage; ++i) {
        const std::uint32_t subnid = SubnodeNid(i);
        const std::uint64_t bid =
            AddNodeData(writer, shape.seed, SubnodeKey(nid, subnid), kSubnodeDataSize);
        if (bid == 0) return false;
        subnodes.push_back({subnid, bid, 0});
    }
    const std::uint64_t bidData = AddNodeData(writer, shape.seed, nid, shape.bodySize);
    if (bidData == 0) return false;
    writer.AddNode(nid, bidData, writer.AddSubnodeTree(subnodes), parent);
    return true;
}

bool AddContainer(StoreWriter& writer, std::uint64_t seed, std::uint32_t nid,
                  std::uint32_t parent) {
    const std::uint64_t bidData = AddNodeData(writer, seed, nid, kContainerDataSize);
    if (bidData == 0) return false;
    writer.AddNode(nid, bidData, 0, parent);
    return true;
}

}  // namespace

std::vector<std::uint8_t> SyntheticBytes(std::uint64_t seed, std::uint64_t key, std::size_t size) {
    std::uint64_t state = seed * 0x100000001B3ull ^ key;
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; i += 8) {
        // Half the bytes repeat a small alphabet, so 4K blocks have something to deflate.
        const std::uint64_t word = Mix(state);
        for (std::size_t j = 0; j < 8 && i + j < size; ++j) {
            bytes[i + j] =
                static_cast<std::uint8_t>((word >> (8 * j)) & (j % 2 == 0 ? 0xFF : 0x0F));
        }
    }
    return bytes;
}

std::uint32_t FolderNid(std::uint32_t folder) {
    return MakeNid(kFirstSyntheticFolderIndex + folder, kNidTypeFolder);
}

std::uint32_t MessageNid(std::uint32_t folder, std::uint32_t message,
                         const SyntheticStoreShape& shape) {
    return MakeNid(kFirstSyntheticMessageIndex + folder * shape.messagesPerFolder + message,
                   kNidTypeMessage);
}

std::uint32_t SubnodeNid(std::uint32_t subnode) {
    return MakeNid(kFirstSubnodeIndex + subnode, kNidTypeLtp);
}

std::uint64_t SubnodeKey(std::uint32_t messageNid, std::uint32_t subnodeNid) {
    return (std::uint64_t{messageNid} << 32) | subnodeNid;
}

bool BuildSyntheticStore(StoreWriter& writer, const SyntheticStoreShape& shape) {
    if (!AddContainer(writer, shape.seed, kMessageStoreNid, 0)) return false;
    if (!AddContainer(writer, shape.seed, kRootFolderNid, kRootFolderNid)) return false;
    for (std::uint32_t f = 0; f < shape.folders; ++f) {
        if (!AddContainer(writer, shape.seed, FolderNid(f), kRootFolderNid)) return false;
        for (std::uint32_t m = 0; m < shape.messagesPerFolder; ++m) {
            if (!AddMessage(writer, shape, MessageNid(f, m, shape), FolderNid(f))) return false;
        }
    }
    return true;
}

}  // namespace velmora::storewriter
