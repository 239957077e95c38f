// The bodies a message keeps (plain text, HTML, RTF) and which of them it is
// read by: the one place that decides, for the mail writer, which writes the
// mail as it was, and for the search index, which reads its words.
#pragma once

#include <optional>
#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

struct MessageBodies {
    std::optional<std::string> plain;  // UTF-8, possibly empty
    // As stored (an export keeps the mail as it was, not the view's cleaned
    // page), or the page the view shows for the RTF body when there is no HTML.
    std::optional<std::string> html;
    std::string htmlCharset;         // the label `html` leaves the store with
    std::optional<std::string> rtf;  // the decoded RTF body, when there is one
};

// Every body the message keeps.
MessageBodies ReadBodies(const MailEntry& mail);

// The body a message's words are in.
struct TextBody {
    std::string text;  // UTF-8
    bool isHtml = false;
};

// The plain text when it holds any; else the HTML of ReadBodies, as UTF-8;
// none when the message has neither. Reads no body it does not return.
std::optional<TextBody> ReadTextBody(const MailEntry& mail);

}  // namespace velmora
