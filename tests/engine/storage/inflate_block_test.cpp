// Inflating a 4K block: the stored stream may be whole, cut short, corrupt or
// claim a size it does not have. The output never passes its buffer, what
// inflates before a break is kept, and the rest of the buffer is zeros.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "engine/storage/inflate_block.h"

namespace corvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Sample(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 5));
    return bytes;
}

Bytes Deflated(const Bytes& plain) {
    Bytes stored(plain.size() + 1024);
    std::size_t size = stored.size();
    EXPECT_TRUE(DeflateBlock(plain.data(), plain.size(), stored.data(), size));
    stored.resize(size);
    return stored;
}

TEST(InflateBlock, WholeStreamsOfEverySizeComeBackExactly) {
    for (const std::size_t size : {1u, 100u, 4096u, 32768u, 32769u, 65535u}) {
        const Bytes plain = Sample(size);
        const Bytes stored = Deflated(plain);
        Bytes out(size);
        EXPECT_EQ(InflateBlock(stored.data(), stored.size(), out.data(), out.size()), size);
        EXPECT_EQ(out, plain) << size;
    }
}

// A block whose trailer claims nothing inflated gets no buffer at all.
TEST(InflateBlock, NoRoomMeansNothingWritten) {
    const Bytes stored = Deflated(Sample(100));
    EXPECT_EQ(InflateBlock(stored.data(), stored.size(), nullptr, 0), 0u);
    EXPECT_EQ(InflateBlock(nullptr, 0, nullptr, 0), 0u);
}

TEST(InflateBlock, DamagedStreamsStayInsideTheirBuffer) {
    const Bytes plain = Sample(65535);
    // Sample(n) is a prefix of every longer sample, so any output must be one of plain.
    const Bytes stored = Deflated(plain);
    struct Case {
        const char* name;
        Bytes input;
        std::size_t room;  // the block's claimed inflated size
    } cases[] = {
        {"cut in half", Bytes(stored.begin(), stored.begin() + stored.size() / 2), plain.size()},
        {"claims less than it holds", stored, 1000},
        {"claims more than it holds", Deflated(Sample(1000)), 65535},
        {"not a stream", Bytes(100, 0xAB), 4096},
        {"empty", Bytes{}, 4096},
    };
    for (const auto& c : cases) {
        Bytes out(c.room + 16, 0xEE);
        const std::size_t produced =
            InflateBlock(c.input.data(), c.input.size(), out.data(), c.room);
        EXPECT_LE(produced, c.room) << c.name;
        EXPECT_TRUE(std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(produced),
                               plain.begin()) ||
                    produced == 0)
            << c.name;
        // What did not inflate reads as zeros, whatever the buffer held before.
        EXPECT_EQ(std::count(out.begin() + static_cast<std::ptrdiff_t>(produced),
                             out.begin() + static_cast<std::ptrdiff_t>(c.room), 0),
                  static_cast<std::ptrdiff_t>(c.room - produced))
            << c.name;
        EXPECT_EQ(std::count(out.begin() + static_cast<std::ptrdiff_t>(c.room), out.end(), 0xEE),
                  16)
            << c.name;
    }
}

}  // namespace
}  // namespace corvex
