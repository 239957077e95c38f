// The search language, read into a Xapian query by a small parser of our own:
//
//   word             the word in any text field (not the folder path)
//   from: to: cc: subject: body: attachment: folder:   the word in that field;
//                    to: is any recipient (To, Cc or Bcc)
//   "two words"      the words next to each other, in this order; also after a field
//   word*            any word that begins so
//   date:A..B        submitted from day A to day B (YYYY-MM-DD, UTC), either end open;
//                    date:A alone is that day
//   has:attachment   is:unread  is:read  is:important
//   a b / a AND b    both;  a OR b  either;  NOT a / -a  not a;  ( ... )  grouping
//
// Words match whole words, case-insensitively, without stemming. A word typed
// without accents also finds it written with them; typed with accents, only so.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <xapian.h>

namespace velmora::search {

inline constexpr std::size_t kMaxQueryCharacters = 1000;
inline constexpr int kMaxQueryNesting = 32;

struct ParsedQuery {
    std::optional<Xapian::Query> query;
    // One line saying what is wrong and where ("column N: ..."); empty when parsed.
    std::string error;
};

// The query for UTF-8 `text`; any text gives a query or an error, never more.
ParsedQuery ParseQuery(std::string_view text);

}  // namespace velmora::search
