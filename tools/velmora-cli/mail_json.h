// One message as the JSON object `dump` writes: its header fields, recipients,
// attachments (with the SHA-256 of their data) and the SHA-256 of each body.
#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/interface/corvex_engine.h"

namespace velmora::cli {

using Json = nlohmann::ordered_json;

Json MailJson(std::uint32_t nid, const MailEntry* mail);

// A FILETIME (100 ns ticks since 1601) as UTC "YYYY-MM-DDTHH:MM:SSZ", the
// fraction of the second dropped; empty when the C library cannot convert it.
std::string IsoUtcTime(std::uint64_t fileTime);

// The message's submit time as IsoUtcTime gives it; empty when it has none.
std::string SubmitTimeUtc(const MailEntry* mail);

}  // namespace velmora::cli
