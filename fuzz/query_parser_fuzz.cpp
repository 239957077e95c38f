// Feeds arbitrary bytes to the search language's parser as a query. Every
// input must give a query or one error line starting "column N: ", and a
// query must run against a small index of its own without Xapian refusing it.
#include <xapian.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "viewer/data/search_index/index_terms.h"
#include "viewer/data/search_index/index_words.h"
#include "viewer/data/search_index/query_parser.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Two documents with words under each field prefix, flags and a submit time.
Xapian::Database SmallIndex() {
    Xapian::WritableDatabase db(std::string(), Xapian::DB_BACKEND_INMEMORY);
    const char* texts[] = {"Contract café budget", "Résumé 東京 meeting"};
    for (int n = 0; n < 2; ++n) {
        Xapian::Document document;
        Xapian::termpos position = 0;
        for (const char* prefix :
             {"", velmora::search::prefix::kFrom, velmora::search::prefix::kBody,
              velmora::search::prefix::kFolder}) {
            velmora::search::ForEachWord(texts[n], [&](const velmora::search::IndexWord& word) {
                document.add_posting(prefix + word.exact, ++position);
                document.add_posting(prefix + word.plain, position);
            });
        }
        document.add_boolean_term(velmora::search::flag::kUnread);
        document.add_value(velmora::search::kSubmitTimeSlot,
                           velmora::search::SubmitTimeValue(1'000'000'000 + n * 86'400));
        db.add_document(document);
    }
    return db;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Xapian::Database db = SmallIndex();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const velmora::search::ParsedQuery parsed = velmora::search::ParseQuery(text);
    if (!parsed.query) {
        Check(parsed.error.rfind("column ", 0) == 0);
        Check(parsed.error.find('\n') == std::string::npos);
        return 0;
    }
    Check(parsed.error.empty());
    Xapian::Enquire enquire(db);
    enquire.set_query(*parsed.query);
    enquire.set_sort_by_value_then_relevance(velmora::search::kSubmitTimeSlot, true);
    const Xapian::MSet found = enquire.get_mset(0, 10);
    Check(found.size() <= 2);
    return 0;
}
