// What a copy handed to another program looked like when this program wrote
// it: its name, size, modification time, file identity and a hash of its
// bytes, kept in a record file beside its folder. A later start compares the
// copy with its record and removes it only when nothing about it changed, so
// an edit the user saved into an opened copy is never lost.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmora {

struct CopyRecord {
    std::string name;  // the copy's file name inside its folder, as bytes
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t hash = 0;

    bool operator==(const CopyRecord&) const = default;
};

// The record of the regular file at `copy` as it is now; nothing when it is
// not a regular file (a link is not followed) or cannot be read whole.
std::optional<CopyRecord> RecordOf(const std::filesystem::path& copy);

// Writes `record` to `recordFile` whole or not at all (a temporary file,
// renamed into place); false when it cannot.
bool WriteCopyRecord(const CopyRecord& record, const std::filesystem::path& recordFile);

// The record in `recordFile`; nothing when it is missing, too long or not
// exactly in the form WriteCopyRecord writes.
std::optional<CopyRecord> ReadCopyRecord(const std::filesystem::path& recordFile);

// True only when `copy` is still the file `record` describes, bytes included.
bool IsUnchanged(const std::filesystem::path& copy, const CopyRecord& record);

}  // namespace velmora
