// Folder and message names as directory names of the folder export.
#pragma once

#include <string>
#include <string_view>

#include "engine/storage/robustness_limits.h"

namespace corvex {

// Makes a folder display name or message subject usable as one directory name
// inside the export's target folder, in this order:
//  1. each of  / : * ? " < > | \  becomes "_", so no separator survives;
//  2. each control character, U+0000 to U+001F and U+007F, becomes "_";
//  3. a name longer than 50 UTF-16 units keeps its first 50 (one unit fewer
//     when the cut would split a surrogate pair);
//  4. with `messageRule`, a name ending in "." gets "_" appended (a trailing
//     full stop would be dropped by Windows and merge two directories);
//  5. white space is removed at the end, then at the start;
//  6. a name made of full stops only ("." or ".." or "...") has each of them
//     replaced by "_", so it can never name the folder itself or its parent;
//  7. the UTF-8 form is cut to at most 255 bytes on a character boundary (with
//     the 50-unit cut this cannot bind today; it keeps the limit explicit).
// Leading dots of other names stay (".hidden" remains a hidden directory
// inside the target). The result can be empty; the folder walk skips such
// folders, and message directories always carry their "n_" prefix.
// Names are kept as they are otherwise: two folders whose names differ only in
// case are two directories on Linux and one directory on Windows.
std::u16string SafeName(std::u16string_view text, bool messageRule);

// The directory name of a folder whose SafeName a sibling folder already
// took: "name (n)", with `name` cut (as step 7 cuts) so that the whole still
// fits in 255 bytes of UTF-8.
std::u16string NumberedName(std::u16string_view name, std::size_t number);

// Steps 1 and 2 alone: for names built by the engine itself (side files),
// which need no cut or trimming but must not carry a separator either.
std::u16string ReplaceUnsafeCharacters(std::u16string_view text);

}  // namespace corvex
