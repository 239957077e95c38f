// Folder and message names as directory names of the folder export: the
// shared naming rules, held to the engine's length limit.
#pragma once

#include <string>
#include <string_view>

#include "common/safe_name.h"
#include "engine/storage/robustness_limits.h"

namespace corvex {

// common::SafeName with the engine's kSafeNameLength. The result can be
// empty; the folder walk skips such folders, and message directories always
// carry their "n_" prefix.
inline std::u16string SafeName(std::u16string_view text, bool messageRule) {
    return common::SafeName(text, messageRule, kSafeNameLength);
}

using common::NumberedName;
using common::ReplaceUnsafeCharacters;

}  // namespace corvex
