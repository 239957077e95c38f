// A message's body as the plain text the search index takes its words from:
// the body viewer/data/message_body picks, HTML read as a reader sees it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/interface/corvex_engine.h"

namespace velmora::search {

// More body text than this is not read: a message's first 4 MiB of words are
// enough to find it by, and a hostile body cannot make the index grow without end.
inline constexpr std::size_t kMaxBodyTextBytes = 4u << 20;

// UTF-8: the plain-text body as stored; else the text of the HTML body, or of
// the page the RTF body makes. Empty when the message has none of them.
std::string BodyText(const MailEntry* mail);

// Shortens UTF-8 text to at most `size` bytes without splitting a character.
void CutAtCharacter(std::string& text, std::size_t size);

// The text a reader sees in an HTML document (UTF-8): script, style and
// comments left out, block elements separated by line breaks.
std::string HtmlText(std::string_view html);

}  // namespace velmora::search
