// Fresh random UUIDs, as the names of value files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

using UuidBytes = std::array<std::uint8_t, 16>;

// A version-4 UUID from a random source.
UuidBytes NewUuidBytes();

// The text of a UUID: 36 characters, lower-case hexadecimal, groups 8-4-4-4-12
// joined by "-", no braces.
std::u16string UuidText(const UuidBytes& bytes);
std::u16string NewUuidText();

// The bytes of a UUID written exactly as UuidText writes it; nothing for any
// other text (upper case, braces, another length, a separator out of place).
std::optional<UuidBytes> UuidFromText(std::u16string_view text);

}  // namespace common
