#include "viewer/data/search_index/index_terms.h"

#include <xapian.h>

namespace velmora::search {

std::string MessageKeyTerm(std::uint32_t folderNid, std::uint32_t position) {
    return "Q" + std::to_string(folderNid) + ":" + std::to_string(position);
}

std::string SubmitTimeValue(std::int64_t unixSeconds) {
    return Xapian::sortable_serialise(static_cast<double>(unixSeconds));
}

}  // namespace velmora::search
