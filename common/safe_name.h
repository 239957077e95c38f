// Folder names and subjects as file and directory names below a folder the
// user chose: the folder export and the mail conversion name what they write
// by the same rules, so neither can write outside its target.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace common {

// Makes a folder display name or message subject usable as one directory or
// file name inside a target folder, in this order:
//  1. each of  / : * ? " < > | \  becomes "_", so no separator survives;
//  2. each control character, U+0000 to U+001F and U+007F, becomes "_";
//  3. a name longer than `maxUnits` UTF-16 units keeps its first `maxUnits`
//     (one unit fewer when the cut would split a surrogate pair);
//  4. with `messageRule`, a name ending in "." gets "_" appended (a trailing
//     full stop would be dropped by Windows and merge two directories);
//  5. white space is removed at the end, then at the start;
//  6. a name made of full stops only ("." or ".." or "...") has each of them
//     replaced by "_", so it can never name the folder itself or its parent;
//  7. the UTF-8 form is cut to at most 255 bytes on a character boundary.
// Leading dots of other names stay (".hidden" remains a hidden entry inside
// the target). The result can be empty: callers skip or prefix such names.
// Names are kept as they are otherwise: two folders whose names differ only in
// case are two directories on Linux and one directory on Windows.
std::u16string SafeName(std::u16string_view text, bool messageRule, std::size_t maxUnits);

// The name of a folder whose SafeName a sibling folder already took:
// "name (n)", with `name` cut (as step 7 cuts) so that the whole still fits in
// 255 bytes of UTF-8.
std::u16string NumberedName(std::u16string_view name, std::size_t number);

// Steps 1 and 2 alone: for names built by the program itself, which need no
// cut or trimming but must not carry a separator either.
std::u16string ReplaceUnsafeCharacters(std::u16string_view text);

// The names given to the children of one folder, each with the next number
// to try when another sibling asks for it.
using SiblingNames = std::unordered_map<std::u16string, std::size_t>;

// The first sibling keeps its name; a later one takes the lowest number not
// given out yet ("Name", "Name (2)", "Name (3)"...). Each name's counter only
// moves forward, so thousands of siblings of one name cost one lookup each,
// and nothing is asked of the disk.
std::u16string ClaimSiblingName(SiblingNames& siblings, const std::u16string& name);

}  // namespace common
