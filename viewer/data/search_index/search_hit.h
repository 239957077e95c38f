// What a search hands back for each message it found: where the message is,
// and the few fields a result line shows, kept in the index beside the words.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velmora::search {

struct SearchHit {
    std::uint32_t folderNid = 0;
    std::uint32_t position = 0;  // in the folder's message enumeration, from 0
    std::string folderPath;      // names from the store's root folders, joined with "/"
    std::string subject;
    std::string sender;
    std::uint64_t submitTime = 0;  // FILETIME; 0 when the message has none
};

// The hit as the document data of its message, and back; nothing when the
// data is not of this form (an index written by another build).
std::string EncodeHit(const SearchHit& hit);
std::optional<SearchHit> DecodeHit(const std::string& data);

}  // namespace velmora::search
