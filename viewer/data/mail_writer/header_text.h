// Stored texts as they may stand in a header of an exported message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The longest header text kept, in bytes of UTF-8: a subject or name longer
// than this is damage, and a mail program would cut it anyway.
inline constexpr std::size_t kMaxHeaderTextBytes = 2000;

// UTF-8 of `text` with every control character (line breaks included, so no
// stored text can start a header of its own) turned into a space, and cut to
// kMaxHeaderTextBytes on a character boundary.
std::string HeaderText(std::u16string_view text);

// A message id as it stands between angle brackets: printable ASCII without
// blanks or brackets; empty when nothing of it is left.
std::string BareMessageId(std::string_view stored);

// Seconds since 1970 of a FILETIME; none before 1970 or after the year 9999.
std::optional<std::int64_t> UnixSeconds(std::uint64_t fileTime);

}  // namespace velmora
