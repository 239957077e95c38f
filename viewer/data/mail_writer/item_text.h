// The text an item that is not mail is written with, so that a contact
// exported as a message still says whom it is about: its fields, one labelled
// line each, ahead of whatever body text it keeps.
#pragma once

#include <optional>
#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// "Label: value" lines of the item's fields that hold text; none for a mail
// item (class IPM.Note and its kinds, or no class), or when no field does.
std::optional<std::string> ItemFieldsText(const MailEntry& mail);

}  // namespace velmora
