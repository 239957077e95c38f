// The search command: finds messages anywhere in a store with the search
// language of viewer/data/search_index/query_parser.h, building or refreshing
// the store's index first.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <string>

namespace velmora::cli {

struct SearchRequest {
    std::filesystem::path store;
    std::string query;
    bool json = false;
    std::size_t limit = 0;  // 0: every hit
    bool noCache = false;   // index into the run's own folder, removed at exit
};

// One line per hit, newest first: folder path, submit time (UTC), sender,
// subject and NID, separated by tabs; with `json`, an array of objects with
// "nid", "folder", "subject", "sender" and "submit_time". While the index is
// built, `progress` (null: no progress) gets an "Indexing… N of M messages"
// line written over itself. A query that cannot be parsed is one line saying
// where, and exit code 2.
int RunSearch(const SearchRequest& request, std::ostream& out, std::ostream* progress);

}  // namespace velmora::cli
