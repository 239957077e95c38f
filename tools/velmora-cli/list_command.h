// The list command: every message of a store, one line each, the way a person
// scans an archive from the shell.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>

namespace velmora::cli {

// One line per message, folders depth first and each folder's messages in
// the engine's order: the folder's path of names joined with "/", the submit
// time in UTC, the sender's name and the subject, separated by tabs. Control
// characters in a field become spaces, so a line is always one message. With
// `folderNid`, only that folder and those below it.
int RunList(const std::filesystem::path& store, std::optional<std::uint32_t> folderNid,
            std::ostream& out);

}  // namespace velmora::cli
