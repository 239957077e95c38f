#include "viewer/data/search_index/search_hit.h"

#include <charconv>
#include <vector>

namespace velmora::search {
namespace {

// Fields are separated by NUL, which no field holds: every text comes from a
// NUL-terminated store string.
constexpr char kSeparator = '\0';
constexpr std::size_t kFieldCount = 6;

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

}  // namespace

std::string EncodeHit(const SearchHit& hit) {
    std::string data = std::to_string(hit.folderNid);
    for (const std::string& field : {std::to_string(hit.position), hit.folderPath, hit.subject,
                                     hit.sender, std::to_string(hit.submitTime)}) {
        data += kSeparator;
        data += field;
    }
    return data;
}

std::optional<SearchHit> DecodeHit(const std::string& data) {
    std::vector<std::string> fields(1);
    for (const char c : data) {
        if (c == kSeparator) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (fields.size() != kFieldCount) return std::nullopt;
    SearchHit hit;
    if (!ParseNumber(fields[0], hit.folderNid) || !ParseNumber(fields[1], hit.position) ||
        !ParseNumber(fields[5], hit.submitTime)) {
        return std::nullopt;
    }
    hit.folderPath = fields[2];
    hit.subject = fields[3];
    hit.sender = fields[4];
    return hit;
}

}  // namespace velmora::search
