// What the commands share: reporting a failure and opening the store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "tools/velmora-cli/store_session.h"

namespace velmora::cli {

// Shows `text` through the message-box layer (one line on standard error in
// this tool) and returns the failing exit code, 1.
int ReportFailure(const std::string& text);

// The exit code of a run whose store the engine reported damaged (a file cut
// short, a value cut at the engine's size cap) although the command succeeded:
// its output holds only what could be read.
inline constexpr int kDamagedStoreExit = 3;

// `code`, or kDamagedStoreExit with a line saying why when the command
// succeeded but the engine showed messages after `engineMessagesBefore`.
int WithEngineReports(int code, std::size_t engineMessagesBefore);

// Opens the store; on failure reports why and returns false.
bool OpenOrReport(StoreSession& session, const std::filesystem::path& store);

// Opens the store and finds the message with NID `messageNid`; when either
// fails, reports why and returns null.
const MailEntry* OpenMessageOrReport(StoreSession& session, const std::filesystem::path& store,
                                     std::uint32_t messageNid);

// A NID written in decimal or with a "0x" prefix in hexadecimal.
std::optional<std::uint32_t> ParseNid(const std::string& text);

// A field of a tab-separated line: control characters (tabs and line breaks
// among them) would split the line, so they become spaces.
std::string LineField(std::string text);

// "0x" and the NID in lower-case hexadecimal.
std::string NidText(std::uint32_t nid);

}  // namespace velmora::cli
