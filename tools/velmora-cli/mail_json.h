// One message as the JSON item `dump` writes: subject, sender, submit time,
// recipients, attachments and what bodies it has.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/interface/corvex_engine.h"

namespace velmora::cli {

using Json = nlohmann::ordered_json;

Json MailJson(std::uint32_t nid, const MailEntry* mail);

// A FILETIME as "Jun 27, 2010 17:44:43.000000000 UTC"; empty for 0.
std::string UtcTimeText(std::uint64_t fileTime);

// The first `limit` words of the text: runs of letters, digits and "_".
std::vector<std::string> FirstWords(const std::u16string& text, std::size_t limit);

}  // namespace velmora::cli
