// The work a store causes must follow from its size: a small file whose index
// entries all name one large block must not have that block read once per
// entry, nor written out once per entry when the values are read. The bytes
// the engine reads from the store file are counted by standing in for the
// system's positioned read, the bytes of the value files it writes as they are
// read are summed, and both are bounded by a multiple of the file's size. Left
// out under AddressSanitizer, which intercepts the same call.
#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "common/utf16_text.h"
#include "engine/storage/variant_traits.h"
#include "fuzz/store_walk.h"
#include "tests/engine/interface/sanitizer_build.h"
#include "tests/support/test_paths.h"

#if !VELMORA_UNDER_ASAN
namespace {
std::atomic<std::uint64_t> bytesRead{0};
}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t count, off_t offset) {
    const auto got = static_cast<ssize_t>(::syscall(SYS_pread64, fd, buffer, count, offset));
    if (got > 0) bytesRead += static_cast<std::uint64_t>(got);
    return got;
}
extern "C" ssize_t pread64(int fd, void* buffer, size_t count, off_t offset) {
    return pread(fd, buffer, count, offset);
}
#endif

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

// Blocks are read again for every value and row that needs them, so a real
// store is read several times over; the floor covers the fixed structures.
constexpr std::uint64_t kReadFloor = 4ull << 20;
constexpr std::uint64_t kReadsPerFileByte = 64;

struct WalkVolume {
    std::uint64_t read = 0;
    std::uint64_t written = 0;
};

// Walks the store as the viewer would, every value file read (and so written).
template <typename V>
WalkVolume VolumeOfWalk(const fs::path& store) {
#if VELMORA_UNDER_ASAN
    (void)store;
    return {};
#else
    const ScratchDir scratch;
    bytesRead = 0;
    fuzz::StoreWalk<V> walk(fuzz::WalkLimits{});
    walk.Run(common::Utf8ToUtf16(store.string()), common::Utf8ToUtf16((scratch / "temp").string()));
    return {bytesRead, walk.ValueFileBytes()};
#endif
}

std::uint64_t AllowedBytes(const fs::path& store) {
    return kReadFloor + kReadsPerFileByte * fs::file_size(store);
}

template <typename V>
void ExpectWalkWithinTheBound(const fs::path& store) {
    const WalkVolume volume = VolumeOfWalk<V>(store);
    EXPECT_LE(volume.read, AllowedBytes(store)) << store << ": read";
    EXPECT_LE(volume.written, AllowedBytes(store)) << store << ": value files written";
}

class ReadVolumeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (kUnderAsan) GTEST_SKIP() << "AddressSanitizer intercepts the positioned read";
    }
};

fs::path KeptInput(const char* name) {
    return fs::path(VELMORA_FUZZ_REGRESSION_DIR) / name;
}

// Stores whose subnode index entries all name one large block: 514 bytes naming
// a block of 24064, and 80 KB naming one of 3450 bytes through eight levels.
TEST_F(ReadVolumeTest, SharedSubnodeBlockIsNotReadOncePerEntry) {
    ExpectWalkWithinTheBound<corvex::AnsiTraits>(KeptInput("slow-ansi-3673d985"));
    ExpectWalkWithinTheBound<corvex::UnicodeTraits>(KeptInput("slow-unicode-94115f66"));
    ExpectWalkWithinTheBound<corvex::UnicodeTraits>(KeptInput("slow-unicode-67a93137"));
    ExpectWalkWithinTheBound<corvex::Unicode4KTraits>(KeptInput("crash-4k-df32d2fd"));
}

TEST_F(ReadVolumeTest, RealStoresAreReadWithinTheBound) {
    VELMORA_REQUIRE_CORPUS();
    for (const char* name : {"ansi-small-backup.pst", "ansi-many-items.pst"})
        ExpectWalkWithinTheBound<corvex::AnsiTraits>(CorpusFile(name));
    ExpectWalkWithinTheBound<corvex::UnicodeTraits>(CorpusFile("unicode-plain.pst"));
    ExpectWalkWithinTheBound<corvex::Unicode4KTraits>(CorpusFile("ost4k/unicode-plain.ost"));
}

}  // namespace
}  // namespace velmora::test
