// Writing the value of a PR_RTF_COMPRESSED property to a file as plain RTF.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora {

struct RtfFileOutcome {
    bool written = false;  // the target holds the decoded RTF or the stored bytes
    bool decoded = false;  // it holds decoded RTF
    std::string failure;   // why not decoded, or why nothing was written; empty when decoded
};

// Creates (truncates) `target` and writes the decoded RTF into it. When the value
// is not a stream or does not decode, the stored bytes are written as they
// stand. With `prop.inFile` set, the value is the content of the file whose
// NUL-terminated UTF-16 path the property holds.
RtfFileOutcome WriteRtfFile(const ExportedProp& prop, const std::u16string& target);

// The decoded RTF of the value (read from its value file when `prop.inFile` is
// set); nothing when it is not a stream, does not decode or cannot be read.
std::optional<std::vector<std::uint8_t>> DecodedRtf(const ExportedProp& prop);

}  // namespace velmora
