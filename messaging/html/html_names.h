// How the HTML readers compare names: against a fixed list, and without
// regard to ASCII case, as HTML compares element, attribute and charset names
// and as mail compares content ids. Bytes above 0x7F are left as they are,
// whatever the program's locale.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

namespace velmora::messaging {

template <typename Names>
bool Contains(const Names& names, std::string_view name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

inline char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with A-Z made a-z; other bytes unchanged.
inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
}

}  // namespace velmora::messaging
