// The NIDs of a folder's messages, in the order the message enumeration hands
// the messages out. The MailEntry records carry no NID, so the tool reads the
// parsed session's message index (same build, inline accessors only), as
// `info` reads its counts.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/interface/engine_session.h"

namespace velmora::cli {

std::vector<std::uint32_t> MessageNids(std::uint16_t version, const ::EngineSession* session,
                                       std::uint32_t folderNid);

// The NID type of a node the store holds, or nothing when it has no such node.
std::optional<std::uint32_t> NodeType(std::uint16_t version, const ::EngineSession* session,
                                      std::uint32_t nid);

}  // namespace velmora::cli
