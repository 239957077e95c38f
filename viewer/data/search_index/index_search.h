// Running a query over a store's index: the messages it finds, newest first.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include <xapian.h>

#include "viewer/data/search_index/search_hit.h"

namespace velmora::search {

struct SearchOutcome {
    std::vector<SearchHit> hits;  // newest submit time first; messages without one last
    std::string error;            // why the index could not be read; empty otherwise
};

// At most `limit` hits (0: all of them) of `query` in the index in `indexFolder`.
SearchOutcome SearchIndex(const std::filesystem::path& indexFolder, const Xapian::Query& query,
                          std::size_t limit = 0);

}  // namespace velmora::search
