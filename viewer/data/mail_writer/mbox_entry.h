// A message as one entry of an mbox file in the mboxrd form mail programs
// import: a "From " line with the sender's address and the submit time, the
// message with every line that starts with ">"s and "From " given one ">"
// more, and an empty line after it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// "From ADDRESS Www Mmm dd hh:mm:ss yyyy" in UTC. An address that is empty or
// holds a blank is written as MAILER-DAEMON; no time is written as the start of 1970.
std::string MboxFromLine(const std::string& address, std::optional<std::int64_t> unixSeconds);

// The entry for `message` (LF line ends).
std::string MboxEntry(const std::string& fromLine, std::string_view message);

}  // namespace velmora
