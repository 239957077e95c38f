#include "engine/output/walks/record_arena.h"

#include <algorithm>
#include <new>

#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVEX_ARENA_POISONS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(CORVEX_ARENA_POISONS)
#define CORVEX_ARENA_POISONS 1
#endif

#ifdef CORVEX_ARENA_POISONS
#include <sanitizer/asan_interface.h>
#endif

namespace corvex {
namespace {

// Free space and freed blocks are poisoned under the address sanitizer, so
// that a record read after it was freed still fails there as a freed malloc
// block would.
void Poison([[maybe_unused]] void* at, [[maybe_unused]] std::size_t size) {
#ifdef CORVEX_ARENA_POISONS
    ASAN_POISON_MEMORY_REGION(at, size);
#endif
}

void Unpoison([[maybe_unused]] void* at, [[maybe_unused]] std::size_t size) {
#ifdef CORVEX_ARENA_POISONS
    ASAN_UNPOISON_MEMORY_REGION(at, size);
#endif
}

// Slabs come from malloc, so that they also fill the free space malloc's
// heap already holds (tables that grew and left their former arrays behind)
// as single blocks did. When slabs are handed back, so are malloc's free pages:
// otherwise the slabs of a large folder, freed in the middle of its heap,
// would stay resident.
//
// Slabs of a whole number of huge pages start on a huge page and ask for
// huge pages: a large folder's records fill a gigabyte of fresh memory, and
// taking it 4 KiB at a time made page faults a fifth of the enumeration.
// Where huge pages are off, the slab's pages are still taken in one call
// rather than a fault each. A slab for one large block keeps malloc's pages,
// which it fills whole.
#ifdef __linux__
constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

void TakePagesAtOnce(void* at, std::size_t size) {
    ::madvise(at, size, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    ::madvise(at, size, MADV_POPULATE_WRITE);  // older kernels refuse it: faults as before
#endif
}
#endif

void* AllocateSlabMemory(std::size_t size) {
#ifdef __linux__
    if (size % kHugePageSize == 0) {
        void* at = std::aligned_alloc(kHugePageSize, size);
        if (at != nullptr) TakePagesAtOnce(at, size);
        return at;
    }
#endif
    return std::malloc(size);
}

void FreeSlabMemory(void* at) {
    std::free(at);
}

void ReturnFreePagesToSystem() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Values are read in place as integers, times and doubles: every block and
// the slab's own header start on an 8-byte boundary.
constexpr std::size_t kBlockAlign = 8;

constexpr std::size_t Aligned(std::size_t size) {
    return (size + kBlockAlign - 1) / kBlockAlign * kBlockAlign;
}

}  // namespace

// Lies at the start of its own allocation.
struct RecordArena::Slab {
    RecordArena* arena = nullptr;
    std::size_t size = 0;   // of the whole allocation
    std::size_t used = 0;   // from the start, this header included; touched by one carver at a time
    std::size_t index = 0;  // in the arena's list of every slab
    bool ownBlock = false;  // made for one large block, never pooled
    // Blocks not yet freed, plus one while a carver or the parked list holds
    // the slab: it can only reach zero once nothing will carve from it.
    std::atomic<std::uint32_t> holds{0};
};

namespace {

// Precedes each block: frees find their slab from it. Its 8 bytes are what
// malloc's own header took, so a block costs no more than a malloc'd one.
struct BlockHeader {
    RecordArena::Slab* slab;
#ifdef CORVEX_ARENA_POISONS
    std::size_t size;  // to poison it when freed
#endif
};

constexpr std::size_t kBlockHeaderSize = Aligned(sizeof(BlockHeader));

constexpr std::size_t kSlabHeaderSize = Aligned(sizeof(RecordArena::Slab));

std::uint8_t* SlabBytes(RecordArena::Slab* slab) {
    return reinterpret_cast<std::uint8_t*>(slab);
}

void* PlaceBlock(RecordArena::Slab* slab, std::size_t at, [[maybe_unused]] std::size_t size) {
    std::uint8_t* header = SlabBytes(slab) + at;
    Unpoison(header, kBlockHeaderSize + size);
#ifdef CORVEX_ARENA_POISONS
    new (header) BlockHeader{slab, size};
#else
    new (header) BlockHeader{slab};
#endif
    return header + kBlockHeaderSize;
}

}  // namespace

RecordArena::RecordArena(std::size_t slabSize) : slabSize_(std::max(slabSize, std::size_t{4096})) {}

RecordArena::~RecordArena() {
    for (Slab* slab : all_) {
        Unpoison(slab, slab->size);
        FreeSlabMemory(slab);
    }
    if (!all_.empty()) ReturnFreePagesToSystem();
}

RecordArena::Carver::~Carver() {
    if (slab_ != nullptr) arena_.ParkCarved(slab_);
}

void* RecordArena::Carver::Carve(std::size_t size) {
    const std::size_t need = kBlockHeaderSize + Aligned(size);
    if (need > (arena_.slabSize_ - kSlabHeaderSize) / 4) {
        Slab* own = arena_.MakeSlab(kSlabHeaderSize + need);
        own->ownBlock = true;
        own->holds.store(1, std::memory_order_relaxed);
        own->used = own->size;
        return PlaceBlock(own, kSlabHeaderSize, size);
    }
    // A parked slab may have less room left than this block; a fresh one
    // always has enough.
    while (slab_ == nullptr || slab_->used + need > slab_->size) {
        if (slab_ != nullptr) {
            // The slab goes back to the pool when its blocks are freed.
            if (slab_->holds.fetch_sub(1, std::memory_order_acq_rel) == 1) arena_.Retire(slab_);
        }
        slab_ = arena_.TakeForCarving();
    }
    const std::size_t at = slab_->used;
    slab_->used += need;
    slab_->holds.fetch_add(1, std::memory_order_relaxed);
    return PlaceBlock(slab_, at, size);
}

void RecordArena::Free(void* block) {
    if (block == nullptr) return;
    auto* header =
        reinterpret_cast<BlockHeader*>(static_cast<std::uint8_t*>(block) - kBlockHeaderSize);
    Slab* slab = header->slab;
#ifdef CORVEX_ARENA_POISONS
    Poison(header, kBlockHeaderSize + header->size);
#endif
    if (slab->holds.fetch_sub(1, std::memory_order_acq_rel) == 1) slab->arena->Retire(slab);
}

RecordArena::Slab* RecordArena::TakeForCarving() {
    {
        const std::lock_guard lock(mutex_);
        if (!parked_.empty()) {
            Slab* slab = parked_.back();  // its hold passes to the carver
            parked_.pop_back();
            // Its blocks all freed, it is carved from its start again.
            if (slab->holds.load(std::memory_order_acquire) == 1) slab->used = kSlabHeaderSize;
            return slab;
        }
        if (!pool_.empty()) {
            Slab* slab = pool_.back();
            pool_.pop_back();
            ++counters_.slabsReused;
            slab->holds.store(1, std::memory_order_relaxed);
            return slab;
        }
    }
    Slab* slab = MakeSlab(slabSize_);
    slab->holds.store(1, std::memory_order_relaxed);
    return slab;
}

RecordArena::Slab* RecordArena::MakeSlab(std::size_t size) {
    void* at = AllocateSlabMemory(size);
    if (at == nullptr) throw std::bad_alloc();
    auto* slab = new (at) Slab{};
    slab->arena = this;
    slab->size = size;
    slab->used = kSlabHeaderSize;
    Poison(SlabBytes(slab) + kSlabHeaderSize, size - kSlabHeaderSize);
    const std::lock_guard lock(mutex_);
    try {
        slab->index = all_.size();
        all_.push_back(slab);
        // Room for every slab in either list, so that handing one back never throws.
        pool_.reserve(all_.size());
        parked_.reserve(all_.size());
    } catch (...) {
        if (!all_.empty() && all_.back() == slab) all_.pop_back();
        Unpoison(at, size);
        FreeSlabMemory(at);
        throw;
    }
    ++counters_.slabsMade;
    return slab;
}

void RecordArena::ParkCarved(Slab* slab) {
    const std::lock_guard lock(mutex_);
    parked_.push_back(slab);
}

void RecordArena::Retire(Slab* slab) {
    const std::lock_guard lock(mutex_);
    if (slab->ownBlock) {
        Drop(slab);
        return;
    }
    slab->used = kSlabHeaderSize;
    pool_.push_back(slab);
}

void RecordArena::Drop(Slab* slab) {
    Slab* last = all_.back();
    last->index = slab->index;
    all_[slab->index] = last;
    all_.pop_back();
    ++counters_.slabsReleased;
    Unpoison(slab, slab->size);
    FreeSlabMemory(slab);
}

void RecordArena::ReleasePool(std::size_t keep) {
    std::size_t released = 0;
    {
        const std::lock_guard lock(mutex_);
        while (pool_.size() > keep) {
            Drop(pool_.back());
            pool_.pop_back();
            ++released;
        }
        // A parked slab whose blocks were all freed holds nothing either.
        if (keep == 0)
            released += std::erase_if(parked_, [this](Slab* slab) {
                if (slab->holds.load(std::memory_order_acquire) != 1) return false;
                Drop(slab);
                return true;
            });
    }
    if (released > 0) ReturnFreePagesToSystem();
}

RecordArena::Counters RecordArena::Count() const {
    const std::lock_guard lock(mutex_);
    Counters counters = counters_;
    counters.slabsHeld = all_.size();
    counters.slabsPooled = pool_.size();
    return counters;
}

}  // namespace corvex
