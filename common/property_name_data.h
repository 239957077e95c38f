// The constant name lists behind PropertyNameTable, each sorted by code with
// every code listed once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace common {

struct NamedCode {
    std::uint16_t code;
    const char16_t* name;
};

// MAPI property type codes (PT_*), multi-valued ones with bit 0x1000 set.
std::span<const NamedCode> TypeNameEntries();
// Property ids, the upper 16 bits of a property tag.
std::span<const NamedCode> PropertyNameEntries();

}  // namespace common
