// The store-wide nodes: the message store (its name, record key and the entry
// ID of the top folder) and the name-to-id map with one named property.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tools/storewriter/node_content.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

constexpr std::uint32_t kNameToIdMapNid = 0x61;

using StoreUid = std::array<std::uint8_t, 16>;

// An entry ID of an object of this store: flags, the store's UID, the NID.
ByteVector StoreEntryId(const StoreUid& uid, std::uint32_t nid);

NodeContent BuildMessageStore(const VariantLayout& layout, const std::string& displayName,
                              const StoreUid& uid, std::uint32_t topFolderNid);
NodeContent BuildNameToIdMap(const VariantLayout& layout, const StoreUid& uid);

}  // namespace velmora::storewriter
