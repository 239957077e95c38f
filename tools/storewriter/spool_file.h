// The file a store is written into before it gets its final name. Blocks go to
// disk as they are added, so a store of any size needs little memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace velmora::storewriter {

class SpoolFile {
  public:
    SpoolFile() = default;
    ~SpoolFile();
    SpoolFile(const SpoolFile&) = delete;
    SpoolFile& operator=(const SpoolFile&) = delete;

    // Creates a fresh file with a unique name inside `directory`.
    bool Create(const std::filesystem::path& directory);
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    bool Resize(std::uint64_t size);
    // Closes the file and moves it to `destination`, replacing what was there.
    bool CommitAs(const std::filesystem::path& destination);

    bool IsOpen() const { return fd_ >= 0; }
    // The first failure, in words; empty while all went well.
    const std::string& Error() const { return error_; }

  private:
    bool Fail(const std::string& what);
    void Discard();

    int fd_ = -1;
    std::filesystem::path path_;
    std::string error_;
};

}  // namespace velmora::storewriter
