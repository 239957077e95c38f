// One message written as one .eml file, and what every written message shares:
// the writing options and the Message-ID made for a message that keeps none.
// Free of the MIME library's headers, so that window code can include it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/interface/corvex_engine.h"
#include "viewer/data/mail_writer/output_files.h"

namespace velmora {

struct MailWriteOptions {
    // The decoded RTF body goes along as an attachment, besides the HTML made from it.
    bool keepRtf = false;
};

// A Message-ID that stays the same whenever the same node of the same store
// is written: the node's key and a digest of the store's name.
std::string StableMessageId(const std::string& storeName, std::uint64_t nodeKey);

// `mail` as one whole .eml file at `target` (see WriteWholeFile), its
// Message-ID made from the file's name when it keeps none of its own.
bool WriteMessageFile(const MailEntry& mail, const std::filesystem::path& target, bool replace,
                      OutputFailure& failure, unsigned mode = 0644);

}  // namespace velmora
