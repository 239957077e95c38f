// The props command: every property of one message, of its recipient rows and
// of its attachments, with tag, name, type and value, as a table or as JSON.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>

namespace velmora::cli {

struct PropsOptions {
    bool json = false;  // {"message": [...], "recipients": [[...]], "attachments": [[...]]}
    bool full = false;  // whole values instead of values cut to their first characters
};

// Writes the properties of message `messageNid` to `out`; 0, or 1 after
// reporting why not.
int RunProps(const std::filesystem::path& store, std::uint32_t messageNid,
             const PropsOptions& options, std::ostream& out);

}  // namespace velmora::cli
