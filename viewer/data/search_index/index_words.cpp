#include "viewer/data/search_index/index_words.h"

#include <xapian.h>

#include "viewer/data/search_index/accent_folding.h"

namespace velmora::search {
namespace {

// Collects one word's characters in both forms.
class WordBuilder {
  public:
    void Add(unsigned character) {
        const unsigned lower = Xapian::Unicode::tolower(character);
        Xapian::Unicode::append_utf8(word_.exact, lower);
        if (IsCombiningAccent(lower)) return;
        Xapian::Unicode::append_utf8(word_.plain, FoldAccent(lower));
    }
    // Hands the word to `visit` unless it is empty or too long, and starts afresh.
    void Flush(const std::function<void(const IndexWord&)>& visit) {
        if (!word_.exact.empty() && word_.exact.size() <= kMaxWordBytes) {
            if (word_.plain.empty()) word_.plain = word_.exact;
            visit(word_);
        }
        word_.exact.clear();
        word_.plain.clear();
    }

  private:
    IndexWord word_;
};

}  // namespace

void ForEachWord(std::string_view text, const std::function<void(const IndexWord&)>& visit) {
    WordBuilder builder;
    for (Xapian::Utf8Iterator it(text.data(), text.size()); it != Xapian::Utf8Iterator(); ++it) {
        const unsigned character = *it;
        if (Xapian::Unicode::is_wordchar(character)) {
            builder.Add(character);
        } else {
            builder.Flush(visit);
        }
    }
    builder.Flush(visit);
}

IndexWord WordOf(std::string_view text) {
    IndexWord word;
    ForEachWord(text, [&](const IndexWord& found) {
        if (word.exact.empty()) word = found;
    });
    return word;
}

}  // namespace velmora::search
