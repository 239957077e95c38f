// Every property of a message: its own, then those of each recipient row and
// of each attachment, in the order the engine's records hold them. 8-bit texts
// are decoded with the message's code page throughout.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/interface/corvex_engine.h"
#include "viewer/data/message_properties/property_line.h"

namespace velmora {

struct MessageProperties {
    std::uint32_t codePage = 0;  // the message's, for FullValueText
    PropertyLines message;
    std::vector<PropertyLines> recipients;   // one list per recipient row
    std::vector<PropertyLines> attachments;  // one list per attachment
};

// The lines of `mail`; empty lists for a null message. An attachment lists
// its object's properties and then the cells of its table row that the
// object does not hold, so that nothing the store gave is left out.
MessageProperties ListMessageProperties(const MailEntry* mail);

}  // namespace velmora
