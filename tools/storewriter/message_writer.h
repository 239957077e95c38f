// A message node's content: its property context (class, subject, sender,
// times, flags, bodies), its recipient table, and its attachment table with
// the attachment objects.
#pragma once

#include <vector>

#include "tools/storewriter/message_description.h"
#include "tools/storewriter/node_content.h"
#include "tools/storewriter/property_value.h"
#include "tools/storewriter/row_layout.h"
#include "tools/storewriter/variant_layout.h"

namespace velmora::storewriter {

NodeContent BuildMessageContent(const VariantLayout& layout, const MessageSpec& message);

// What a folder's contents table shows of a message, and its columns.
std::vector<PropertyValue> MessageSummary(const VariantLayout& layout, const MessageSpec& message);
std::vector<TableColumn> ContentsTableColumns(const VariantLayout& layout);

}  // namespace velmora::storewriter
