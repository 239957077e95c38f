// A realistic mail store from a few numbers: named folders below the top
// folder, each with messages that have plain, HTML and RTF bodies, recipients
// and attachments, all derived from the seed.
#pragma once

#include <cstdint>

#include "tools/storewriter/message_description.h"
#include "tools/storewriter/store_builder.h"
#include "tools/storewriter/synthetic_store.h"

namespace velmora::storewriter {

// The folder names, in order: Inbox, Sent Items, Deleted Items, then Folder 4...
std::string SampleFolderName(std::uint32_t folder);
// The message `message` of folder `folder`, the same for the same shape.
MessageSpec SampleMessage(const SyntheticStoreShape& shape, std::uint32_t folder,
                          std::uint32_t message);

// Adds the folders and messages to `builder`; false when a message could not be written.
bool BuildSampleMailStore(StoreBuilder& builder, const SyntheticStoreShape& shape);

}  // namespace velmora::storewriter
