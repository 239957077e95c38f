// Small reads of the store file come from a cache of whole chunks. Whatever
// the cache holds, a read must give the bytes a direct positioned read gives,
// zeros past the end included, and a file cut short after it was opened must
// give what the file still holds, never a crash.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "engine/storage/store_file.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

using corvex::ChunkCache;
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint64_t kChunk = ChunkCache::kChunkSize;

struct ReadCase {
    const char* name;
    std::uint64_t offset;
    std::size_t size;
};

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 131 + i / 251);
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// A plain positioned read of what the file holds now, no further than
// `sizeAtOpen`, and zeros for the rest.
Bytes DirectRead(const std::filesystem::path& path, std::uint64_t sizeAtOpen, std::uint64_t offset,
                 std::size_t size) {
    Bytes out(size, 0);
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t done = 0;
    while (done < size && offset < sizeAtOpen && done < sizeAtOpen - offset) {
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>(size - done, sizeAtOpen - offset - done));
        const ssize_t got = ::pread(fd, out.data() + done, want, static_cast<off_t>(offset + done));
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    return out;
}

// Cases that start or end at, just before and past chunk boundaries and the
// end of a file of three chunks and a bit.
const std::uint64_t kFileSize = 3 * kChunk + 1000;
const ReadCase kCases[] = {
    {"first bytes", 0, 16},
    {"inside a chunk", 5000, 512},
    {"ends on a boundary", kChunk - 512, 512},
    {"starts on a boundary", kChunk, 512},
    {"straddles one boundary", kChunk - 7, 300},
    {"straddles two boundaries", kChunk - 3, kChunk + 10},
    {"just under a chunk, unaligned", 2 * kChunk - 100, kChunk - 1},
    {"a whole chunk, read directly", kChunk, kChunk},
    {"ends at the end of the file", kFileSize - 200, 200},
    {"runs past the end", kFileSize - 200, 4096},
    {"starts at the end", kFileSize, 64},
    {"starts far past the end", ~std::uint64_t{0} - 10, 64},
    {"nothing", 100, 0},
    {"in the last, partial chunk", 3 * kChunk + 10, 100},
};

class StoreFileCacheTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFile(path_, Pattern(kFileSize));
        std::string error;
        ASSERT_TRUE(file_.Open(path_.string(), error)) << error;
    }

    void ExpectAllCasesAsDirect(const char* when) {
        for (const ReadCase& c : kCases) {
            EXPECT_EQ(file_.ReadAt(c.offset, c.size),
                      DirectRead(path_, kFileSize, c.offset, c.size))
                << when << ": " << c.name;
        }
    }

    ScratchDir scratch_;
    std::filesystem::path path_ = scratch_ / "store.bin";
    corvex::StoreFile file_;
};

TEST_F(StoreFileCacheTest, ReadsAsTheFileDoesWhetherCachedOrNot) {
    ExpectAllCasesAsDirect("first read");
    ExpectAllCasesAsDirect("read again from the cache");
    // More chunks than the cache keeps, read twice over: the evictions must
    // never hand out one chunk's bytes for another.
    const std::uint64_t bigSize = (ChunkCache::kChunkCount + 5) * kChunk;
    WriteFile(path_, Pattern(bigSize));
    std::string error;
    ASSERT_TRUE(file_.Open(path_.string(), error)) << error;
    for (int round = 0; round < 2; ++round) {
        for (std::uint64_t offset = 100; offset < bigSize; offset += kChunk / 2 + 37)
            ASSERT_EQ(file_.ReadAt(offset, 700), DirectRead(path_, bigSize, offset, 700))
                << "round " << round << ", offset " << offset;
    }
}

TEST_F(StoreFileCacheTest, FileCutShortAfterOpeningReadsWhatItStillHolds) {
    // The first chunk is cached whole before the cut; the rest is not read yet.
    const Bytes cachedBefore = file_.ReadAt(100, 200);
    std::filesystem::resize_file(path_, kChunk + kChunk / 2);
    EXPECT_EQ(file_.ReadAt(100, 200), cachedBefore) << "a cached chunk keeps its bytes";
    for (const ReadCase& c : kCases) {
        if (c.offset + c.size <= kChunk) continue;  // the chunk cached before the cut
        EXPECT_EQ(file_.ReadAt(c.offset, c.size), DirectRead(path_, kFileSize, c.offset, c.size))
            << "after the cut: " << c.name;
    }
    std::filesystem::resize_file(path_, 0);
    EXPECT_EQ(file_.ReadAt(2 * kChunk, 100), Bytes(100, 0)) << "an emptied file reads as zeros";
}

}  // namespace
}  // namespace velmora::test
