// Memory for the message records of one engine session. A message's block is
// carved from a large slab by moving a pointer, and freeing it only counts it
// off its slab: a slab whose blocks are all freed goes to the session's pool,
// and the next read carves from it again. Reading a folder of 250,000
// messages again in batches so reuses memory that is already resident,
// instead of handing a gigabyte back to malloc block by block (which sorts
// and merges each, and returns part to the system to be faulted in again).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace corvex {

class RecordArena {
  public:
    // Room for about 600 messages of a common size, and one huge page; a
    // block larger than a quarter of a slab gets a slab of its own.
    static constexpr std::size_t kSlabSize = std::size_t{2} << 20;

    struct Counters {
        std::uint64_t slabsMade = 0;      // allocated, those of one large block included
        std::uint64_t slabsReused = 0;    // taken from the pool instead
        std::uint64_t slabsReleased = 0;  // freed
        std::size_t slabsHeld = 0;        // allocated now
        std::size_t slabsPooled = 0;      // allocated now, holding no block, waiting for a read
    };

    struct Slab;

    // Carves blocks for one thread at a time. Carvers of the same arena may
    // run on different threads at once: they meet only when a slab is taken or
    // handed back. A carver that ends leaves its slab, with the room still in
    // it, for the next carver, so that a read in small batches wastes no more
    // than one slab's tail a carver.
    class Carver {
      public:
        explicit Carver(RecordArena& arena) : arena_(arena) {}
        ~Carver();
        Carver(const Carver&) = delete;
        Carver& operator=(const Carver&) = delete;

        // `size` bytes, aligned for any record field, valid until Free.
        void* Carve(std::size_t size);

      private:
        RecordArena& arena_;
        Slab* slab_ = nullptr;
    };

    explicit RecordArena(std::size_t slabSize = kSlabSize);
    // Hands every slab back, whatever blocks are still in it: the session's
    // records are freed before the session ends.
    ~RecordArena();
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    // Frees a block of any arena, on any thread.
    static void Free(void* block);

    // Frees the pooled slabs but `keep` of them, and the free pages malloc
    // then holds go back to the system. Called when a read ends (keeping
    // none) or goes on (keeping what the rest of it will take): what a read
    // does not reuse would otherwise stay with the session, and clicking a
    // small folder after a large one would keep the large one's memory.
    void ReleasePool(std::size_t keep = 0);

    Counters Count() const;

  private:
    Slab* TakeForCarving();
    Slab* MakeSlab(std::size_t size);
    void ParkCarved(Slab* slab);
    void Retire(Slab* slab);
    void Drop(Slab* slab);  // with the mutex held

    const std::size_t slabSize_;
    mutable std::mutex mutex_;
    std::vector<Slab*> pool_;    // no blocks, ready to carve
    std::vector<Slab*> parked_;  // left by an ended carver, with room still in them
    std::vector<Slab*> all_;     // every slab allocated, for the end of the session
    Counters counters_;
};

}  // namespace corvex
