// Fresh random UUIDs, as the names of value files.
#pragma once

#include <string>

namespace common {

// A version-4 UUID from a random source: 36 characters, lower-case
// hexadecimal, groups 8-4-4-4-12 joined by "-", no braces.
std::u16string NewUuidText();

}  // namespace common
