// The body of an exported message: the bodies the store keeps (see
// viewer/data/message_body), with the fields of an item that is not mail
// ahead of its plain text, and the text parts they are written as.
#pragma once

#include <string>

#include <gmime/gmime.h>

#include "engine/interface/corvex_engine.h"
#include "viewer/data/message_body/message_bodies.h"

namespace velmora {

MessageBodies BodiesToWrite(const MailEntry& mail);

// A text part of `subtype` with `charset`, quoted-printable or base64,
// whichever keeps the text smaller in 7-bit form. The caller owns it.
GMimePart* NewTextPart(const char* subtype, const std::string& text, const std::string& charset);

}  // namespace velmora
