// The headers of an exported message. When the store keeps the Internet
// headers the message arrived with, they are the message's headers (Received
// chain, Message-ID, References, original Date) and only its MIME structure
// is made anew; otherwise they are rebuilt from the message's properties.
#pragma once

#include <string>

#include <gmime/gmime.h>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// The longest stored header block read, in bytes of UTF-8; real ones are a few kilobytes.
inline constexpr std::size_t kMaxStoredHeaderBytes = 1 << 20;

// A new message with the headers of `mail` and no body yet. A stored header
// block that does not read as headers is passed over; headers it lacks (From,
// Subject, Date, Message-ID) are rebuilt. `fallbackId` is the Message-ID when
// the message keeps none of its own. The caller owns the message.
GMimeMessage* NewMessageWithHeaders(const MailEntry& mail, const std::string& fallbackId);

}  // namespace velmora
