// How the search index names what it holds: the term prefixes of each field,
// the boolean terms, the value slots and the document's key. The index writer
// and the query parser both take them from here.
#pragma once

#include <cstdint>
#include <string>

namespace velmora::search {

// A field's words are indexed under its prefix and, except the folder path,
// without a prefix too, so that a bare word finds any of them.
namespace prefix {
inline constexpr char kFrom[] = "XF";       // sender name and address
inline constexpr char kRecipient[] = "XR";  // every recipient: To, Cc and Bcc
inline constexpr char kCc[] = "XC";         // Cc recipients
inline constexpr char kSubject[] = "XS";
inline constexpr char kBody[] = "XB";        // the body, and the text of attached messages
inline constexpr char kAttachment[] = "XA";  // attachment names
inline constexpr char kFolder[] = "XP";      // the folder path's names
}  // namespace prefix

// Boolean terms: present or absent, never ranked.
namespace flag {
inline constexpr char kHasAttachment[] = "Khas-attachment";
inline constexpr char kUnread[] = "Kunread";
inline constexpr char kImportanceLow[] = "Kimportance-low";
inline constexpr char kImportanceHigh[] = "Kimportance-high";
}  // namespace flag

// Values: the submit time, for date ranges and the newest-first order.
inline constexpr unsigned kSubmitTimeSlot = 0;

// The key term of a message: where the enumeration hands it out.
std::string MessageKeyTerm(std::uint32_t folderNid, std::uint32_t position);

// Seconds since 1970 (UTC) in the form Xapian compares and sorts.
std::string SubmitTimeValue(std::int64_t unixSeconds);

}  // namespace velmora::search
