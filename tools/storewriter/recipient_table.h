// A message's recipient table: one row per recipient with its display name,
// address, address type, SMTP address and recipient type.
#pragma once

#include <span>

#include "tools/storewriter/message_description.h"
#include "tools/storewriter/node_content.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

NodeContent BuildRecipientTable(const VariantLayout& layout,
                                std::span<const RecipientSpec> recipients);

}  // namespace velmora::storewriter
