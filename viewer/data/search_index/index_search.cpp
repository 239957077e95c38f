#include "viewer/data/search_index/index_search.h"

#include "viewer/data/search_index/index_terms.h"

namespace velmora::search {

SearchOutcome SearchIndex(const std::filesystem::path& indexFolder, const Xapian::Query& query,
                          std::size_t limit) {
    SearchOutcome outcome;
    try {
        const Xapian::Database db(indexFolder.string());
        Xapian::Enquire enquire(db);
        enquire.set_query(query);
        // Newest first; messages of the same second in the order they were indexed.
        // No relevance is weighed: it would order nothing, and weighing every
        // message a common word finds costs more than the sort itself.
        enquire.set_weighting_scheme(Xapian::BoolWeight());
        enquire.set_sort_by_value(kSubmitTimeSlot, true);
        enquire.set_docid_order(Xapian::Enquire::ASCENDING);
        const Xapian::doccount wanted =
            limit != 0 ? static_cast<Xapian::doccount>(limit) : db.get_doccount();
        const Xapian::MSet found = enquire.get_mset(0, wanted);
        for (auto it = found.begin(); it != found.end(); ++it) {
            if (auto hit = DecodeHit(it.get_document().get_data())) outcome.hits.push_back(*hit);
        }
    } catch (const Xapian::Error& error) {
        outcome.error = "cannot read the search index in " + indexFolder.string() + ": " +
                        error.get_description();
    }
    return outcome;
}

}  // namespace velmora::search
