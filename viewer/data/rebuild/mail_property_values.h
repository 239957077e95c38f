// Property values in the automation types the message object takes.
#pragma once

#include <cstdint>
#include <optional>

#include "automation/variant.h"
#include "engine/interface/corvex_engine.h"

namespace velmora {

// The first up to 4 value bytes as a little-endian int, zero-extended.
std::int32_t FirstBytesAsInt(const ExportedProp& prop);

// A FILETIME (100 ns since 1601 UTC) as a date in local time; none for a zero
// time or one that local time cannot represent.
std::optional<messaging::VariantDate> FileTimeToLocalDate(std::uint64_t fileTime);

// The first up to 8 value bytes as a FILETIME, as a local date.
std::optional<messaging::VariantDate> PropLocalDate(const ExportedProp& prop);

}  // namespace velmora
