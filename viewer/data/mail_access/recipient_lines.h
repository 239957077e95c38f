// The To, Cc and Bcc lines of a message, and the "name <address>" form they
// and the sender line share.
#pragma once

#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

struct RecipientLineSet {
    std::u16string to;
    std::u16string cc;
    std::u16string bcc;
};

// name + " <" + address + ">" when the address contains "@" (a "www." right
// after the first "@www." removed), else the name alone.
std::u16string AddressedName(const std::u16string& name, std::u16string address);

// Each recipient row in list order goes to To (type 1), Cc (2) or Bcc (3),
// joined with "; "; other types are dropped.
RecipientLineSet RecipientLines(const MailEntry* mail);

}  // namespace velmora
