// A hostile store can claim any size in its fields: a data tree's lcbTotal, a
// 4K block's cbInflated, a heap's cAlloc, a table's row width and so the row
// count. None of them may make the engine allocate more than a small multiple
// of the file's size. Each case writes a huge value into one field of a real
// store and walks it through the exports in a child process whose address
// space is limited to what it already uses plus that allowance; the child must
// finish normally. Under AddressSanitizer the limit means nothing (its shadow
// memory reserves terabytes), so the test is skipped there.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "common/little_endian.h"
#include "common/utf16_text.h"
#include "engine/storage/block_codec.h"
#include "engine/storage/variant_traits.h"
#include "fuzz/store_walk.h"
#include "tests/engine/interface/sanitizer_build.h"
#include "tests/engine/storage/store_fixtures.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

// What the engine may use beyond what the process holds before the walk: a fixed
// amount for the records, buffers and file streams of any walk, and a multiple
// of the file's size for what the file itself describes.
constexpr std::uint64_t kFixedAllowance = 16ull << 20;
constexpr std::uint64_t kFileSizeMultiple = 32;
// Only the start of a block holds the size fields sought here: the data tree
// header, the heap header and the first allocations (table and BTH headers).
constexpr std::size_t kSweptBlockBytes = 64;
constexpr std::size_t kTrailerCbInflatedOffset = 18;
constexpr int kExitedWithinLimit = 0;
constexpr int kAllocationRefused = 3;

std::uint64_t CurrentAddressSpace() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) return std::stoull(line.substr(7)) * 1024;
    }
    return 0;
}

// Runs `work` in a child process whose address space may grow by `allowance`
// only. Returns the child's exit code, or 128 + the signal that ended it.
template <typename Work>
int RunInLimitedChild(std::uint64_t allowance, const Work& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        // The child exits here, never returning to the test framework.
        const rlimit limit{CurrentAddressSpace() + allowance, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(2);
        try {
            work();
        } catch (const std::bad_alloc&) {
            ::_exit(kAllocationRefused);
        }
        ::_exit(kExitedWithinLimit);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

template <typename V>
int WalkInLimitedChild(const Image& image) {
    const ScratchDir scratch;
    const fs::path store = scratch / "claims.store";
    WriteFileBytes(store, image);
    const std::uint64_t allowance = kFixedAllowance + kFileSizeMultiple * image.size();
    return RunInLimitedChild(allowance, [&] {
        fuzz::StoreWalk<V>(fuzz::WalkLimits{})
            .Run(common::Utf8ToUtf16(store.string()),
                 common::Utf8ToUtf16((scratch / "temp").string()));
    });
}

struct Block {
    std::uint64_t bid = 0;
    std::uint64_t ib = 0;
    std::size_t cb = 0;
    bool Internal() const { return (bid & 2) != 0; }
};

template <typename V>
std::vector<Block> BlocksOf(const fs::path& store) {
    std::vector<Block> blocks;
    const auto database = OpenStore<V>(store);
    for (const auto& entry : database->Blocks().records)
        blocks.push_back({entry.bid, entry.ib, entry.cb});
    return blocks;
}

// A store image and edits of its blocks' bytes as the engine sees them, that
// is after the store's encoding is removed.
template <typename V>
class StoreEdits {
  public:
    explicit StoreEdits(const fs::path& store)
        : image_(ReadFileBytes(store)),
          blocks_(BlocksOf<V>(store)),
          crypt_(image_.at(V::kCryptMethodOffset)) {}

    const std::vector<Block>& Blocks() const { return blocks_; }
    const Image& Original() const { return image_; }

    Image Decoded(const Block& block) const {
        Image bytes(image_.begin() + block.ib, image_.begin() + block.ib + block.cb);
        if (!block.Internal()) corvex::DecodeBlock(bytes.data(), bytes.size(), crypt_, block.bid);
        return bytes;
    }

    // The image with `value` (`width` bytes, little-endian) written at `offset` of the block's
    // data.
    Image WithField(const Block& block, std::size_t offset, std::uint64_t value,
                    std::size_t width) const {
        Image bytes = Decoded(block);
        for (std::size_t i = 0; i < width; ++i)
            bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        if (!block.Internal()) corvex::EncodeBlock(bytes.data(), bytes.size(), crypt_, block.bid);
        Image edited = image_;
        std::copy(bytes.begin(), bytes.end(), edited.begin() + block.ib);
        return edited;
    }

    // The image with the 4K trailer's cbInflated of the block set to `value`.
    Image WithCbInflated(const Block& block, std::uint16_t value) const {
        const std::size_t onDisk = (block.cb + V::kBlockTrailerSize + V::kBlockAlign - 1) /
                                   V::kBlockAlign * V::kBlockAlign;
        const std::size_t at = block.ib + onDisk - V::kBlockTrailerSize + kTrailerCbInflatedOffset;
        Image edited = image_;
        edited[at] = static_cast<std::uint8_t>(value);
        edited[at + 1] = static_cast<std::uint8_t>(value >> 8);
        return edited;
    }

  private:
    Image image_;
    std::vector<Block> blocks_;
    std::uint8_t crypt_;
};

// Every aligned 32-bit field at the start of every block set to all ones, and
// each heap's cAlloc set to its largest value.
template <typename V>
std::vector<std::pair<std::string, Image>> HugeClaims(const StoreEdits<V>& edits) {
    std::vector<std::pair<std::string, Image>> claims;
    for (const Block& block : edits.Blocks()) {
        const std::string name = "block " + std::to_string(block.bid);
        for (std::size_t offset = 0; offset + 4 <= std::min(block.cb, kSweptBlockBytes);
             offset += 4) {
            claims.emplace_back(name + " +" + std::to_string(offset),
                                edits.WithField(block, offset, 0xFFFFFFFF, 4));
        }
        const Image data = edits.Decoded(block);
        const std::size_t ibHnpm = data.size() >= 2 ? data[0] | (data[1] << 8) : 0;
        if (!block.Internal() && ibHnpm != 0 && ibHnpm + 2 <= data.size()) {
            claims.emplace_back(name + " cAlloc", edits.WithField(block, ibHnpm, 0xFFFF, 2));
        }
    }
    return claims;
}

template <typename V>
void ExpectEveryClaimWalksWithinBound(const std::vector<std::pair<std::string, Image>>& claims) {
    ASSERT_FALSE(claims.empty());
    for (const auto& [what, image] : claims) {
        const int result = WalkInLimitedChild<V>(image);
        EXPECT_EQ(result, kExitedWithinLimit)
            << what
            << (result == kAllocationRefused ? ": an allocation passed the bound"
                                             : ": the walk failed");
    }
}

class MemoryBoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (kUnderAsan) GTEST_SKIP() << "address-space limits do not apply under AddressSanitizer";
        VELMORA_REQUIRE_CORPUS();
    }
};

// The limit itself: an allocation past the allowance must be refused, or none
// of the cases below could fail.
TEST_F(MemoryBoundTest, TheLimitRefusesAnAllocationPastTheAllowance) {
    const int result = RunInLimitedChild(kFixedAllowance, [] {
        std::vector<std::uint8_t> past(2 * kFixedAllowance, 1);
        if (past.back() != 1) ::_exit(1);
    });
    EXPECT_EQ(result, kAllocationRefused);
}

TEST_F(MemoryBoundTest, UneditedStoresWalkWithinTheBound) {
    EXPECT_EQ(
        WalkInLimitedChild<corvex::AnsiTraits>(ReadFileBytes(CorpusFile("ansi-small-backup.pst"))),
        0);
    EXPECT_EQ(WalkInLimitedChild<corvex::UnicodeTraits>(
                  ReadFileBytes(CorpusFile("unicode-submessage.pst"))),
              0);
    EXPECT_EQ(WalkInLimitedChild<corvex::Unicode4KTraits>(
                  ReadFileBytes(CorpusFile("ost4k/unicode-submessage.ost"))),
              0);
}

TEST_F(MemoryBoundTest, AnsiSizeFieldsClaimingHugeValues) {
    const StoreEdits<corvex::AnsiTraits> edits(CorpusFile("ansi-small-backup.pst"));
    ExpectEveryClaimWalksWithinBound<corvex::AnsiTraits>(HugeClaims(edits));
}

TEST_F(MemoryBoundTest, UnicodeSizeFieldsClaimingHugeValues) {
    const StoreEdits<corvex::UnicodeTraits> edits(CorpusFile("unicode-submessage.pst"));
    ExpectEveryClaimWalksWithinBound<corvex::UnicodeTraits>(HugeClaims(edits));
}

TEST_F(MemoryBoundTest, FourKSizeFieldsClaimingHugeValues) {
    const StoreEdits<corvex::Unicode4KTraits> edits(
        CorpusFile("ost4k/unicode-submessage.plain.ost"));
    ExpectEveryClaimWalksWithinBound<corvex::Unicode4KTraits>(HugeClaims(edits));
}

TEST_F(MemoryBoundTest, FourKBlocksClaimingTheLargestInflatedSize) {
    const StoreEdits<corvex::Unicode4KTraits> edits(CorpusFile("ost4k/unicode-submessage.ost"));
    std::vector<std::pair<std::string, Image>> claims;
    for (const Block& block : edits.Blocks()) {
        claims.emplace_back("block " + std::to_string(block.bid) + " cbInflated",
                            edits.WithCbInflated(block, 0xFFFF));
    }
    ExpectEveryClaimWalksWithinBound<corvex::Unicode4KTraits>(claims);
}

// Every data tree (XBLOCK) of the store with all its entries naming blocks the
// store does not have, as many as the block holds, and claiming the largest total.
template <typename V>
Image DataTreesOfMissingBlocks(const StoreEdits<V>& edits, int& treesEdited) {
    Image edited = edits.Original();
    for (const Block& block : edits.Blocks()) {
        Image tree = edits.Decoded(block);
        if (!block.Internal() || tree.size() < 16 || tree[0] != 0x01 || tree[1] != 0x01) continue;
        const std::size_t entries = (tree.size() - 8) / V::kIdWidth;
        tree[2] = static_cast<std::uint8_t>(entries);
        tree[3] = static_cast<std::uint8_t>(entries >> 8);
        std::fill(tree.begin() + 4, tree.begin() + 8, 0xFF);
        for (std::size_t i = 0; i < entries; ++i) tree[8 + i * V::kIdWidth] = 0xFE;  // unused BIDs
        std::copy(tree.begin(), tree.end(), edited.begin() + block.ib);
        ++treesEdited;
    }
    return edited;
}

TEST_F(MemoryBoundTest, DataTreeOfMissingBlocksClaimingTheLargestTotal) {
    const StoreEdits<corvex::UnicodeTraits> edits(CorpusFile("unicode-password-embedded.pst"));
    int treesEdited = 0;
    const Image image = DataTreesOfMissingBlocks(edits, treesEdited);
    ASSERT_GT(treesEdited, 0) << "the store has no data tree";
    EXPECT_EQ(WalkInLimitedChild<corvex::UnicodeTraits>(image), kExitedWithinLimit);
}

}  // namespace
}  // namespace velmora::test
