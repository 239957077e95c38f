// The block encoding tables and the two decoders.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "engine/storage/block_codec.h"
#include "engine/storage/crypt_tables.h"
#include "tests/engine/storage/store_fixtures.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

TEST(CryptTables, MatchThePublishedTableFile) {
    const auto published =
        velmora::test::ReadFileBytes(velmora::test::FormatDir() / "crypt-tables.bin");
    ASSERT_EQ(published.size(), 768u);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(kCryptTableR[i], published[i]) << i;
        EXPECT_EQ(kCryptTableS[i], published[256 + i]) << i;
        EXPECT_EQ(kCryptTableI[i], published[512 + i]) << i;
    }
}

TEST(CryptTables, KnownEntriesAndInverse) {
    EXPECT_EQ(kCryptTableR[0], 0x41);
    EXPECT_EQ(kCryptTableS[0], 0x14);
    EXPECT_EQ(kCryptTableI[0], 0x47);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(kCryptTableI[kCryptTableR[b]], b);
}

std::vector<std::uint8_t> AllBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

TEST(BlockCodec, PermuteRoundTripsAndChangesBytes) {
    auto bytes = AllBytes(1000);
    const auto original = bytes;
    EncodeBlock(bytes.data(), bytes.size(), 1, 0x1234);
    EXPECT_NE(bytes, original);
    DecodeBlock(bytes.data(), bytes.size(), 1, 0x1234);
    EXPECT_EQ(bytes, original);
}

TEST(BlockCodec, CyclicKeyIsTheLowBidWordFolded) {
    // BID 0x00010004: key 0x00010004, so w starts at 0x0004 ^ 0x0001 = 0x0005.
    std::uint8_t byte = 0x00;
    DecodeBlock(&byte, 1, 2, 0xFFFFFFFF00010004ull);
    std::uint8_t b = kCryptTableR[static_cast<std::uint8_t>(0x00 + 0x05)];
    b = kCryptTableS[static_cast<std::uint8_t>(b + 0x00)];
    b = kCryptTableI[static_cast<std::uint8_t>(b - 0x00)];
    EXPECT_EQ(byte, static_cast<std::uint8_t>(b - 0x05));
}

TEST(BlockCodec, CyclicIsItsOwnInverseAndDependsOnKey) {
    auto bytes = AllBytes(700);
    const auto original = bytes;
    DecodeBlock(bytes.data(), bytes.size(), 2, 0x00010004);
    auto other = original;
    DecodeBlock(other.data(), other.size(), 2, 0x00010008);
    EXPECT_NE(bytes, other);
    EncodeBlock(bytes.data(), bytes.size(), 2, 0x00010004);
    EXPECT_EQ(bytes, original);
}

TEST(BlockCodec, OtherMethodsLeaveBytesAlone) {
    for (std::uint8_t method : {0, 3, 0x10, 0xFF}) {
        auto bytes = AllBytes(300);
        DecodeBlock(bytes.data(), bytes.size(), method, 8);
        EXPECT_EQ(bytes, AllBytes(300)) << int{method};
    }
}

}  // namespace
}  // namespace corvex
