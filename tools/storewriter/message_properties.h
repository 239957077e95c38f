// Property ids of the objects a store builder writes, by their usual names.
#pragma once

#include "common/property_ids.h"

namespace velmora::storewriter {

namespace prop = common::prop;
using common::kAttachByValue;
using common::kAttachEmbeddedMessage;
using common::kAttachmentTableNid;
using common::kRecipientTableNid;

}  // namespace velmora::storewriter
