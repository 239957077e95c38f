// The files a conversion writes, each either whole or not there: an .eml file
// is written under a temporary name and renamed when complete; an mbox file
// is cut back to its last whole message when an append fails. An existing
// file is replaced only when asked to, and a link is never followed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

struct OutputFailure {
    std::filesystem::path path;
    std::string reason;   // the system's words, e.g. "No space left on device"
    bool exists = false;  // the file was there and was not to be replaced
};

// Writes `bytes` as the file `target` with `mode`; false with `failure` set
// when it is there and `replace` is not set, or when it cannot be written
// whole. Nothing new is left at `target` (or beside it) after a failure.
bool WriteWholeFile(const std::filesystem::path& target, std::string_view bytes, bool replace,
                    OutputFailure& failure, unsigned mode = 0644);

// One mbox file, appended to a message at a time.
class MboxFile {
  public:
    MboxFile() = default;
    ~MboxFile();
    MboxFile(const MboxFile&) = delete;
    MboxFile& operator=(const MboxFile&) = delete;

    // Creates the file (empty); false with `failure` set as WriteWholeFile sets it.
    bool Create(const std::filesystem::path& target, bool replace, OutputFailure& failure);
    // Appends one entry; on failure the file is cut back to the entries before it.
    bool Append(std::string_view entry, OutputFailure& failure);
    // Closes the file; false when the system reports that its last writes failed.
    bool Close(OutputFailure& failure);

  private:
    std::filesystem::path path_;
    int file_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace velmora
