// One message as a document of the search index: its words under the field
// prefixes of index_terms.h, its flags, its submit time and its hit summary.
#pragma once

#include <cstdint>
#include <string>

#include <xapian.h>

#include "engine/interface/corvex_engine.h"

namespace velmora::search {

// Where the message was found.
struct MessagePlace {
    std::uint32_t folderNid = 0;
    std::uint32_t position = 0;
    std::string folderPath;
};

// The document of the message. The text of a message attached to it (subject,
// people, body, and its own attachments' names) belongs to it: it is indexed
// as this message's body and attachment names.
Xapian::Document MessageDocument(const MailEntry& mail, const MessagePlace& place);

// True when the record holds nothing of the message: no property could be read.
bool IsUnreadable(const MailEntry& mail);

}  // namespace velmora::search
