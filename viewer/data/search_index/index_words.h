// The words of a text as the search index keeps them and as a query names
// them: runs of letters, digits and marks, lower-cased, without stemming.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace velmora::search {

// A longer run (an encoded blob, a long link) is no word anyone types.
inline constexpr std::size_t kMaxWordBytes = 64;

struct IndexWord {
    std::string exact;  // lower-cased, accents kept
    std::string plain;  // accents taken off; equal to `exact` when it has none
};

// Calls `visit` with each word of the UTF-8 text in order (a stray byte that
// is not UTF-8 reads as the Latin-1 letter of its value).
void ForEachWord(std::string_view text, const std::function<void(const IndexWord&)>& visit);

// The word as ForEachWord gives it, for text known to be one word.
IndexWord WordOf(std::string_view text);

}  // namespace velmora::search
