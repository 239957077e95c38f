#include "common/safe_name.h"

#include <algorithm>
#include <string>

#include "common/path_text.h"
#include "common/utf16_text.h"

namespace common {
namespace {

constexpr std::u16string_view kReservedCharacters = u"/:*?\"<>|\\";

bool IsControl(char16_t c) {
    return c <= 0x1F || c == 0x7F;
}

bool IsWhiteSpace(char16_t c) {
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

void CutToLength(std::u16string& name, std::size_t maxUnits) {
    if (name.size() <= maxUnits) return;
    name.resize(maxUnits);
    if (IsHighSurrogate(name.back())) name.pop_back();
}

void TrimWhiteSpace(std::u16string& name) {
    const auto end = std::find_if_not(name.rbegin(), name.rend(), IsWhiteSpace);
    name.erase(end.base(), name.end());
    const auto start = std::find_if_not(name.begin(), name.end(), IsWhiteSpace);
    name.erase(name.begin(), start);
}

void ReplaceDotsOnlyName(std::u16string& name) {
    if (!name.empty() && name.find_first_not_of(u'.') == std::u16string::npos) {
        std::fill(name.begin(), name.end(), u'_');
    }
}

}  // namespace

std::u16string ReplaceUnsafeCharacters(std::u16string_view text) {
    std::u16string name(text);
    for (char16_t& c : name) {
        if (IsControl(c) || kReservedCharacters.find(c) != std::u16string_view::npos) c = u'_';
    }
    return name;
}

std::u16string SafeName(std::u16string_view text, bool messageRule, std::size_t maxUnits) {
    std::u16string name = ReplaceUnsafeCharacters(text);
    CutToLength(name, maxUnits);
    if (messageRule && !name.empty() && name.back() == u'.') name += u'_';
    TrimWhiteSpace(name);
    ReplaceDotsOnlyName(name);
    return CapUtf8Bytes(name, kMaxComponentBytes);
}

std::u16string NumberedName(std::u16string_view name, std::size_t number) {
    const std::string digits = std::to_string(number);
    const std::u16string suffix = u" (" + std::u16string(digits.begin(), digits.end()) + u")";
    return CapUtf8Bytes(name, kMaxComponentBytes - suffix.size()) + suffix;
}

std::u16string ClaimSiblingName(SiblingNames& siblings, const std::u16string& name) {
    const auto [entry, fresh] = siblings.try_emplace(name, 2);
    if (fresh) return name;
    // A reference to the element outlives the inserts below (a rehash moves no element).
    std::size_t& next = entry->second;
    for (;;) {
        std::u16string numbered = NumberedName(name, next++);
        if (siblings.try_emplace(numbered, 2).second) return numbered;
    }
}

}  // namespace common
