// A small mail store with every kind of content the builder writes, and the
// way to open a written store through the engine's exports.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/engine/output/walk_support.h"
#include "tools/storewriter/store_builder.h"

namespace velmora::storewriter::test {

velmora::test::StoreVariant EngineVariant(Variant variant);

struct ExpectedFolder {
    std::string path;  // display names below the top folder, joined by '/'
    std::string containerClass;
    std::vector<MessageSpec> messages;
    std::vector<std::uint32_t> nids;  // of the messages, as AddMessage returned them
};

// Builds the store into `builder` and returns what each folder holds, in the
// order the folders were added (depth first).
std::vector<ExpectedFolder> BuildMixedStore(StoreBuilder& builder);

// Bytes that no two attachments share.
std::vector<std::uint8_t> AttachmentBytes(std::size_t size, std::uint32_t salt);

}  // namespace velmora::storewriter::test
