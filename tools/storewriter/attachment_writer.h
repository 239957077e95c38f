// A message's attachments: the attachment table (one row per attachment, its
// row ID the NID of the attachment object) and the attachment objects, each a
// subnode with a property context of its own. Data by value goes into 0x3701,
// in a subnode of the object when large; an embedded message is a subnode of
// the object that 0x3701 names.
#pragma once

#include <span>

#include "tools/storewriter/message_description.h"
#include "tools/storewriter/node_content.h"
#include "tools/storewriter/value_placement.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

constexpr std::uint32_t kAttachmentNidType = 0x05;

struct AttachmentParts {
    NodeContent table;
    std::vector<SubnodeContent> objects;
};

// Object NIDs come from `nids`, the message's own subnode NIDs.
AttachmentParts BuildAttachments(const VariantLayout& layout,
                                 std::span<const AttachmentSpec> attachments, SubnodeNids& nids);

}  // namespace velmora::storewriter
