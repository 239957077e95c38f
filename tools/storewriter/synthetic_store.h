// A whole synthetic store from a few numbers: the message store, the root
// folder, folders below it and messages in each folder, every message with a
// subnode tree. Node and subnode data are deterministic pseudo-random bytes of
// the requested sizes, the same for the same seed.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "tools/storewriter/store_writer.h"

namespace velmora::storewriter {

constexpr std::uint32_t kMessageStoreNid = 0x21;
constexpr std::uint32_t kRootFolderNid = 0x122;

struct SyntheticStoreShape {
    std::uint32_t folders = 3;
    std::uint32_t messagesPerFolder = 5;
    std::uint64_t bodySize = 600;
    std::uint32_t subnodesPerMessage = 2;  // raw node stores only
    // Mail stores only:
    std::uint32_t recipientsPerMessage = 2;
    std::uint32_t attachmentsPerMessage = 1;
    std::uint64_t attachmentSize = 2000;
    std::uint64_t seed = 1;
};

// The bytes of one node or subnode: a function of the seed and the NIDs only,
// so readers can check them without keeping them.
std::vector<std::uint8_t> SyntheticBytes(std::uint64_t seed, std::uint64_t key, std::size_t size);

std::uint32_t FolderNid(std::uint32_t folder);
std::uint32_t MessageNid(std::uint32_t folder, std::uint32_t message,
                         const SyntheticStoreShape& shape);
std::uint32_t SubnodeNid(std::uint32_t subnode);
// The key SyntheticBytes uses for a subnode of a message.
std::uint64_t SubnodeKey(std::uint32_t messageNid, std::uint32_t subnodeNid);
// The size of folder and message store data, and of each subnode's data.
constexpr std::size_t kContainerDataSize = 256;
constexpr std::size_t kSubnodeDataSize = 300;

// Adds the store's nodes to `writer`; false when a block could not be added.
bool BuildSyntheticStore(StoreWriter& writer, const SyntheticStoreShape& shape);

}  // namespace velmora::storewriter
