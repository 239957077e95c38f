#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>
#include <vector>

#include "engine/output/walks/record_arena.h"
#include "engine/output/walks/record_memory.h"
#include "tests/engine/interface/sanitizer_build.h"

namespace corvex {
namespace {

constexpr std::size_t kSlab = 64 * 1024;

// Message `n`: props whose every byte is n's low byte, of sizes varying with
// n; message 7 carries a value too large to share a slab, and every 50th one
// an embedded message below an attachment.
struct SampleMessage {
    explicit SampleMessage(std::size_t n) : fill(static_cast<std::uint8_t>(n)) {
        for (std::size_t i = 0; i < 6; ++i) values.emplace_back((n * 37 + i * 101) % 700, fill);
        if (n == 7) values.emplace_back(kSlab, fill);
        for (std::size_t i = 0; i < values.size(); ++i)
            props.push_back({static_cast<std::uint16_t>(0x1000 + i), 0x0102, false, values[i]});
    }
    std::uint8_t fill;
    std::vector<std::vector<std::uint8_t>> values;
    std::vector<PropSource> props;
};

MailEntry* BuildSample(std::size_t n, RecordArena::Carver& carver) {
    const SampleMessage message(n);
    MailSource source{message.props, {}, {}};
    if (n % 50 == 0) {
        MailEntry* embedded = NewMailEntry(MailSource{message.props, {}, {}}, carver);
        source.attachments.push_back({message.props, message.props, embedded});
    }
    return NewMailEntry(source, carver);
}

// Messages 0..count-1, each half built on a thread and carver of its own.
std::vector<MailEntry*> BuildOnTwoThreads(RecordArena& arena, std::size_t count) {
    std::vector<MailEntry*> entries(count);
    const auto buildRange = [&](std::size_t begin, std::size_t end) {
        RecordArena::Carver carver(arena);
        for (std::size_t n = begin; n < end; ++n) entries[n] = BuildSample(n, carver);
    };
    std::thread second(buildRange, count / 2, count);
    buildRange(0, count / 2);
    second.join();
    return entries;
}

// Messages 0..count-1 read as the viewer reads a folder, a batch a call: each
// batch's carver goes on in the slab the former one left.
std::vector<MailEntry*> BuildInBatches(RecordArena& arena, std::size_t count, std::size_t batch) {
    std::vector<MailEntry*> entries;
    for (std::size_t begin = 0; begin < count; begin += batch) {
        RecordArena::Carver carver(arena);
        for (std::size_t n = begin; n < std::min(count, begin + batch); ++n)
            entries.push_back(BuildSample(n, carver));
    }
    return entries;
}

// Whether every message (and its embedded one) still holds its own bytes:
// blocks carved over each other would mix them.
bool Intact(const std::vector<MailEntry*>& entries) {
    const auto mapIntact = [](const ExportedPropMap* map, const SampleMessage& message) {
        if (map->count != message.values.size()) return false;
        for (std::uint32_t i = 0; i < map->count; ++i) {
            const ExportedProp& prop = *map->items[i];
            if (prop.byteCount != message.values[i].size()) return false;
            if (!std::all_of(prop.bytes, prop.bytes + prop.byteCount,
                             [&](std::uint8_t b) { return b == message.fill; }))
                return false;
        }
        return true;
    };
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const SampleMessage message(n);
        if (!mapIntact(entries[n]->props, message)) return false;
        if (n % 50 != 0) continue;
        const AttachmentRow& row = *entries[n]->attachments->items[0];
        if (!mapIntact(row.object, message) || !mapIntact(row.embedded->props, message))
            return false;
    }
    return true;
}

// Frees the messages in a shuffled order, half of them on another thread
// while this one frees the rest.
void FreeInAnyOrderOnTwoThreads(std::vector<MailEntry*>& entries, unsigned seed) {
    std::shuffle(entries.begin(), entries.end(), std::mt19937(seed));
    const auto freeRange = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) FreeMailEntry(entries[i], nullptr);
    };
    std::thread other(freeRange, 0, entries.size() / 2);
    freeRange(entries.size() / 2, entries.size());
    other.join();
    entries.clear();
}

// The pool's whole life: slabs freed block by block on any thread come back
// to it, a read again carves from them without a new slab, a read in small
// batches carves on where the former batch stopped, a read that goes on keeps
// only what it will take, the end of a read that reused only part hands the
// rest back, and records read back intact all along.
TEST(RecordArena, ReusesFreedSlabsAndHandsBackWhatAReadLeftUnused) {
    RecordArena arena(kSlab);
    std::vector<MailEntry*> entries = BuildOnTwoThreads(arena, 400);
    ASSERT_TRUE(Intact(entries));
    const RecordArena::Counters listed = arena.Count();
    EXPECT_GT(listed.slabsMade, 10u);
    EXPECT_EQ(listed.slabsHeld, listed.slabsMade);
    EXPECT_EQ(listed.slabsPooled, 0u);

    FreeInAnyOrderOnTwoThreads(entries, 28);
    const RecordArena::Counters freed = arena.Count();
    // The large value's own slab goes at once; the others wait in the pool,
    // but for the two the ended carvers left with room in them.
    EXPECT_EQ(freed.slabsReleased, 1u);
    EXPECT_EQ(freed.slabsHeld, listed.slabsMade - 1);
    EXPECT_GE(freed.slabsPooled + 2, freed.slabsHeld);

    entries = BuildOnTwoThreads(arena, 400);
    ASSERT_TRUE(Intact(entries));
    const RecordArena::Counters again = arena.Count();
    EXPECT_EQ(again.slabsMade, listed.slabsMade + 1) << "only the large value's slab is new";
    EXPECT_EQ(again.slabsReused, freed.slabsPooled);
    EXPECT_EQ(again.slabsPooled, 0u);

    FreeInAnyOrderOnTwoThreads(entries, 9);
    // A read that goes on keeps what the rest of it will take, and no more.
    const RecordArena::Counters emptied = arena.Count();
    arena.ReleasePool(3);
    EXPECT_EQ(arena.Count().slabsPooled, 3u);
    EXPECT_EQ(arena.Count().slabsReleased, emptied.slabsReleased + emptied.slabsPooled - 3);
    entries = BuildInBatches(arena, 100, 3);
    arena.ReleasePool();
    ASSERT_TRUE(Intact(entries));
    const RecordArena::Counters small = arena.Count();
    EXPECT_EQ(small.slabsPooled, 0u);
    EXPECT_LT(small.slabsHeld, listed.slabsHeld / 2);
    EXPECT_EQ(small.slabsReleased + small.slabsHeld, small.slabsMade);
    // The remaining records go with the arena, as a session's do when it ends.
}

#if VELMORA_UNDER_ASAN
// A record read after it was freed fails under the sanitizer as a freed malloc
// block would, though its slab stays allocated for the next read.
TEST(RecordArenaDeathTest, AFreedRecordCannotBeReadUnderTheSanitizer) {
    RecordArena arena(kSlab);
    std::vector<MailEntry*> entries = BuildOnTwoThreads(arena, 4);
    const MailEntry* freed = entries[1];
    FreeMailEntry(entries[1], nullptr);
    EXPECT_DEATH({ [[maybe_unused]] volatile std::uint32_t count = freed->props->count; },
                 "use-after-poison");
    ASSERT_EQ(entries[2]->props->count, SampleMessage(2).values.size());
}
#endif

}  // namespace
}  // namespace corvex
