// One property as the properties view and the `props` command show it: its
// tag, the words for its id and type, and its value as text, shortened when
// long. The full value is read again on demand, from the record it came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// Values whose text runs longer than this many characters are shown cut to it.
inline constexpr std::size_t kShortValueLength = 256;
// What follows a value shown cut.
inline constexpr char16_t kShortenedMark[] = u"\u2026";

struct PropertyLine {
    std::uint16_t id = 0;
    std::uint16_t type = 0;
    std::u16string tag;       // "0x" and the id and type as eight upper-case hex digits
    std::u16string name;      // the listed name, or "Property is-" and the id
    std::u16string typeName;  // the listed name, or the code as "0x" and four hex digits
    std::u16string value;     // the value text, cut to kShortValueLength and marked when longer
    std::uint64_t size = 0;   // the value's length in bytes
    bool shortened = false;
    // The record the line was made from; the engine owns it, so it is only
    // valid while the message's records are.
    const ExportedProp* source = nullptr;
};
using PropertyLines = std::vector<PropertyLine>;

// The line for `prop`, its 8-bit texts decoded with `codePage`. Reads at most
// the start of a large value (never a whole value file).
PropertyLine DescribeProperty(const ExportedProp& prop, std::uint32_t codePage);

// Every property of `map` in its order (null maps and entries are skipped).
PropertyLines DescribeProperties(const ExportedPropMap* map, std::uint32_t codePage);

// The whole value of the line's record as text, however long; empty when the
// line has no record. With `byteLimit`, the text of at most that many of the
// value's first bytes.
std::u16string FullValueText(const PropertyLine& line, std::uint32_t codePage,
                             std::uint64_t byteLimit = UINT64_MAX);

// `text` on one line: each control character (line breaks, tabs) becomes a
// space, so that a value fits a table cell or a tab-separated line.
std::u16string OneLine(std::u16string text);

}  // namespace velmora
