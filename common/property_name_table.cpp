#include "common/property_name_table.h"

#include <algorithm>
#include <span>

#include "common/property_name_data.h"

namespace common {
namespace {

const char16_t* FindName(std::span<const NamedCode> entries, std::uint16_t code) {
    auto code_below = [](const NamedCode& entry, std::uint16_t c) { return entry.code < c; };
    auto it = std::lower_bound(entries.begin(), entries.end(), code, code_below);
    return it != entries.end() && it->code == code ? it->name : nullptr;
}

std::u16string UpperHex(std::uint16_t value) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

}  // namespace

const PropertyNameTable& PropertyNameTable::Shared() {
    static const PropertyNameTable table;
    return table;
}

std::u16string PropertyNameTable::PropertyName(std::uint16_t id) const {
    if (const char16_t* name = FindName(PropertyNameEntries(), id)) return name;
    return u"Property is-" + UpperHex(id);
}

std::u16string PropertyNameTable::TypeName(std::uint16_t type) const {
    if (const char16_t* name = FindName(TypeNameEntries(), type)) return name;
    return {};
}

}  // namespace common
