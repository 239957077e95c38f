// The body of an exported message as the store keeps it: the plain text and
// the HTML as stored (an export keeps the mail as it was, not the view's
// cleaned page), or, for a message with an RTF body only, the HTML the view
// shows for that RTF.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gmime/gmime.h>

#include "engine/interface/corvex_engine.h"

namespace velmora {

struct MessageBodies {
    std::optional<std::string> plain;  // UTF-8
    std::optional<std::string> html;   // as stored, or made from the RTF body
    std::string htmlCharset;
    std::optional<std::string> rtf;  // the decoded RTF body, when there is one
};

MessageBodies ReadBodies(const MailEntry& mail);

// A text part of `subtype` with `charset`, quoted-printable or base64,
// whichever keeps the text smaller in 7-bit form. The caller owns it.
GMimePart* NewTextPart(const char* subtype, const std::string& text, const std::string& charset);

}  // namespace velmora
