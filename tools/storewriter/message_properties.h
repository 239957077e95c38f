// Property ids of the objects a store builder writes, by their usual names.
#pragma once

#include "engine/interface/property_ids.h"

namespace velmora::storewriter {

namespace prop = corvex::prop;
using corvex::kAttachByValue;
using corvex::kAttachEmbeddedMessage;
using corvex::kAttachmentTableNid;
using corvex::kRecipientTableNid;

}  // namespace velmora::storewriter
