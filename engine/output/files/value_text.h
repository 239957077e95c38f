// The text forms of property values: the Data column of the property files,
// the Data column of the row files, and the words folder and message names
// are made from.
#pragma once

#include <span>
#include <string>

#include "engine/output/files/property_view.h"

namespace corvex {

// Data column of a PropertyCsv. A value held out of line always shows the
// bytes as held (the subnode NID) in hexadecimal, since the real bytes go to
// a side file. Unicode text loses a leading U+0001 marker pair.
std::u16string ValueText(const PropertyView& property, TextVariant variant);

// Data column of a row file: as ValueText, but Unicode text keeps its marker
// pair and out-of-line cells are formatted by their type like any other.
std::u16string RowText(const PropertyView& cell, TextVariant variant);

// Text a folder's display name is turned into before SafeName. Only the types
// a name plausibly has are formatted; any other gives "default::" and the
// hexadecimal form, so an odd display name still yields a distinct folder.
// PT_APPTIME is read as a FILETIME date here.
std::u16string NameText(const PropertyView& property, TextVariant variant);

// "0x" and two upper-case hexadecimal digits per byte.
std::u16string HexText(std::span<const std::uint8_t> bytes);

}  // namespace corvex
