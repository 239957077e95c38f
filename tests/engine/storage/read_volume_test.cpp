// The work a store causes must follow from its size: a small file whose index
// entries all name one large block must not have that block read once per
// entry. The bytes the engine reads from the store file are counted by standing
// in for the system's positioned read, and bounded by a multiple of the file's
// size. Left out under AddressSanitizer, which intercepts the same call.
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

template <typename V>
std::uint64_t BytesReadToWalk(const fs::path& store) {
#if VELMORA_UNDER_ASAN
    (void)store;
    return 0;
#else
    const ScratchDir scratch;
    bytesRead = 0;
    fuzz::StoreWalk<V>(fuzz::WalkLimits{})
        .Run(common::Utf8ToUtf16(store.string()), common::Utf8ToUtf16((scratch / "temp").string()));
    return bytesRead;
#endif
}

std::uint64_t AllowedBytes(const fs::path& store) {
    return kReadFloor + kReadsPerFileByte * fs::file_size(store);
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
    EXPECT_LE(BytesReadToWalk<corvex::AnsiTraits>(KeptInput("slow-ansi-3673d985")),
              AllowedBytes(KeptInput("slow-ansi-3673d985")));
    EXPECT_LE(BytesReadToWalk<corvex::UnicodeTraits>(KeptInput("slow-unicode-94115f66")),
              AllowedBytes(KeptInput("slow-unicode-94115f66")));
}

TEST_F(ReadVolumeTest, RealStoresAreReadWithinTheBound) {
    VELMORA_REQUIRE_CORPUS();
    for (const char* name : {"ansi-small-backup.pst", "ansi-many-items.pst"}) {
        EXPECT_LE(BytesReadToWalk<corvex::AnsiTraits>(CorpusFile(name)),
                  AllowedBytes(CorpusFile(name)))
            << name;
    }
    EXPECT_LE(BytesReadToWalk<corvex::UnicodeTraits>(CorpusFile("unicode-plain.pst")),
              AllowedBytes(CorpusFile("unicode-plain.pst")));
    EXPECT_LE(BytesReadToWalk<corvex::Unicode4KTraits>(CorpusFile("ost4k/unicode-plain.ost")),
              AllowedBytes(CorpusFile("ost4k/unicode-plain.ost")));
}

}  // namespace
}  // namespace velmora::test
