// A message of an open store found by its NID, with its attachment and
// recipient rows, through the folder's message enumeration.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/velmora-cli/store_session.h"

namespace velmora::cli {

// The folder's messages paired with their NIDs, in enumeration order.
struct NumberedMail {
    std::uint32_t nid;
    MailEntry* mail;
};
std::vector<NumberedMail> EnumNumberedMails(StoreSession& session, FolderEntry* folder);

// The message with this NID in any folder of the tree, or null.
MailEntry* FindMessage(StoreSession& session, std::uint32_t nid);

}  // namespace velmora::cli
