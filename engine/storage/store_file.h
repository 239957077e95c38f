// The store file, opened read-only. Every read names its own offset, so readers
// never depend on a shared file position, and a read that runs past the end of
// the file yields zero bytes for the missing part instead of leftovers. Small
// reads go through a cache of recently read chunks, large ones to the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/storage/chunk_cache.h"

namespace corvex {

class StoreFile {
  public:
    StoreFile() = default;
    ~StoreFile();
    StoreFile(const StoreFile&) = delete;
    StoreFile& operator=(const StoreFile&) = delete;

    // Opens `path` (the file system's own bytes for the name, which need not be
    // UTF-8) read-only. On failure returns false and sets `errorText` to the
    // system's message for the error.
    bool Open(const std::string& path, std::string& errorText);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    std::uint64_t Size() const { return size_; }

    // Fills `out[0..size)` from `offset`; bytes past the end of the file are
    // zero. Safe to call from several threads.
    void ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) const;
    std::vector<std::uint8_t> ReadAt(std::uint64_t offset, std::size_t size) const;

  private:
    // Reads what the file holds of `out[0..size)` and returns how many bytes that was.
    std::size_t ReadDirect(std::uint64_t offset, std::uint8_t* out, std::size_t size) const;

    int fd_ = -1;
    std::uint64_t size_ = 0;
    mutable ChunkCache cache_;
};

}  // namespace corvex
