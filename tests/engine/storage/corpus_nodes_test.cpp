// Every real store parses, with its nodes counted by NID type; every 4K twin
// reads exactly like the store it was repacked from.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "tests/engine/storage/store_fixtures.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

using velmora::test::CorpusFile;
using velmora::test::OpenStore;

struct Census {
    std::uint16_t version = 0;
    int crypt = -1;
    std::size_t blocks = 0;
    std::size_t nodes = 0;
    std::array<std::size_t, 32> byType{};
};

template <typename V>
Census CensusOf(const std::filesystem::path& path) {
    Census census;
    auto database = OpenStore<V>(path);
    if (!database) return census;
    census.version = database->Header().Version();
    census.crypt = database->Header().CryptMethod();
    census.blocks = database->Blocks().map.Size();
    for (const auto& [key, node] : database->Walker().nodes.All()) {
        ++census.nodes;
        ++census.byType[node->NidType()];
    }
    return census;
}

struct Expected {
    const char* store;
    std::uint16_t version;
    int crypt;
    std::size_t blocks, nodes, folders, searchFolders, messages, associated;
};

void PrintTo(const Expected& e, std::ostream* os) {
    *os << e.store;
}

// Counted once with the engine and checked against what the store files are
// known to hold (message counts as listed with the corpus).
constexpr Expected kStores[] = {
    {"ansi-basic.pst", 14, 1, 38, 47, 5, 1, 1, 0},
    {"ansi-many-items.pst", 14, 1, 75, 369, 14, 1, 294, 0},
    {"ansi-small-backup.pst", 14, 1, 17, 29, 4, 0, 0, 0},
    {"unicode-archive.pst", 23, 1, 85, 78, 9, 3, 0, 5},
    {"unicode-backup.pst", 23, 1, 117, 158, 32, 1, 2, 0},
    {"unicode-basic.pst", 23, 1, 41, 48, 5, 1, 2, 0},
    {"unicode-contacts.pst", 23, 1, 32, 40, 5, 1, 6, 0},
    {"unicode-cyclic.pst", 23, 2, 1131, 69, 4, 1, 36, 0},
    {"unicode-distlist.pst", 23, 1, 155, 128, 18, 6, 4, 3},
    {"unicode-empty-2007.pst", 23, 1, 45, 42, 4, 2, 0, 0},
    {"unicode-flags.pst", 23, 1, 105, 90, 8, 6, 8, 3},
    {"unicode-nested-folders.pst", 23, 1, 99, 88, 8, 7, 1, 4},
    {"unicode-outlook.pst", 23, 1, 25, 40, 4, 1, 0, 0},
    {"unicode-password-embedded.pst", 23, 1, 248, 73, 6, 2, 18, 0},
    {"unicode-password.pst", 23, 1, 95, 143, 22, 5, 1, 12},
    {"unicode-permute.pst", 23, 1, 747, 65, 4, 1, 32, 0},
    {"unicode-personal.pst", 23, 1, 32, 40, 5, 1, 6, 0},
    {"unicode-plain.pst", 23, 0, 746, 53, 4, 1, 20, 0},
    {"unicode-submessage.pst", 23, 1, 50, 47, 5, 1, 1, 0},
    {"unicode-to-cc.pst", 23, 1, 72, 83, 8, 6, 1, 3},
    {"unicode-user1.pst", 23, 1, 141, 134, 20, 5, 6, 3},
};

class CorpusCensus : public testing::TestWithParam<Expected> {};

TEST_P(CorpusCensus, NodeCountsByType) {
    VELMORA_REQUIRE_CORPUS();
    const Expected& e = GetParam();
    const auto path = CorpusFile(e.store);
    const Census c = e.version == 14 ? CensusOf<AnsiTraits>(path) : CensusOf<UnicodeTraits>(path);
    EXPECT_EQ(c.version, e.version);
    EXPECT_EQ(c.crypt, e.crypt);
    EXPECT_EQ(c.blocks, e.blocks);
    EXPECT_EQ(c.nodes, e.nodes);
    EXPECT_EQ(c.byType[0x02], e.folders);
    EXPECT_EQ(c.byType[0x03], e.searchFolders);
    EXPECT_EQ(c.byType[0x04], e.messages);
    EXPECT_EQ(c.byType[0x08], e.associated);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusCensus, testing::ValuesIn(kStores), [](const auto& info) {
    return velmora::test::TestNameOf(info.param.store);
});

}  // namespace
}  // namespace corvex
