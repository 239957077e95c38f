// The last few dozen aligned chunks read from the store file. Enumerating a
// folder reads four or five small blocks per message, most of them next to the
// previous message's; one read of a whole chunk serves many of them, where a
// positioned read per block made the system calls cost more than the work.
// The file is never mapped: a file cut short under a mapping kills the process
// on its next touch, while a short read only yields fewer bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace corvex {

class ChunkCache {
  public:
    static constexpr std::size_t kChunkSize = 64 * 1024;
    static constexpr std::size_t kChunkCount = 32;

    // Reads up to `size` bytes at `offset` straight from the file and returns
    // how many it got; fewer when the file ends or fails first.
    using Source = std::function<std::size_t(std::uint64_t, std::uint8_t*, std::size_t)>;

    // `fileSize` is the size the file had when it was opened: nothing at or
    // past it is read, as a direct read would not read it either.
    void Reset(Source source, std::uint64_t fileSize);

    // Fills `out[0..size)` from `offset`, as the source would, with zeros for
    // what the file does not hold. Safe to call from several threads.
    void Read(std::uint64_t offset, std::uint8_t* out, std::size_t size);

  private:
    struct Chunk {
        std::uint64_t start = 0;
        std::uint64_t lastUse = 0;
        std::vector<std::uint8_t> bytes;
    };

    // The whole chunk starting at `start`, or null when the file held less of
    // it than it should (cut short since it was opened, or failing to read):
    // such a chunk is not kept, so each read of it asks the file again.
    const Chunk* FindOrLoad(std::uint64_t start);
    Chunk& SlotForNewChunk();

    std::mutex mutex_;
    Source source_;
    std::uint64_t fileSize_ = 0;
    std::uint64_t useClock_ = 0;
    std::vector<Chunk> chunks_;
};

}  // namespace corvex
