// A 4K twin holds the same nodes, blocks and bytes as its source store, repacked
// into the 4K layout (and, in NAME.ost, compressed): it must read the same.
#include <gtest/gtest.h>

#include <string>

#include "tests/engine/storage/store_fixtures.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

using velmora::test::CorpusFile;
using velmora::test::OpenStore;

void ExpectSameSubnodes(const SubnodeTree& source, const SubnodeTree& twin, int depth = 0) {
    ASSERT_EQ(source.entries.size(), twin.entries.size());
    for (std::size_t i = 0; i < source.entries.size(); ++i) {
        const SubnodeEntry& a = source.entries[i];
        const SubnodeEntry& b = twin.entries[i];
        EXPECT_EQ(a.Nid(), b.Nid());
        EXPECT_EQ(a.bidData, b.bidData);
        EXPECT_EQ(a.bidSub, b.bidSub);
        if (depth < 4) ExpectSameSubnodes(a.Nested(), b.Nested(), depth + 1);
    }
}

class TwinStore : public testing::TestWithParam<std::string> {};

TEST_P(TwinStore, ReadsLikeItsSource) {
    VELMORA_REQUIRE_CORPUS();
    const std::string name = GetParam();
    auto source = OpenStore<UnicodeTraits>(CorpusFile(name + ".pst"));
    ASSERT_TRUE(source);
    for (const char* suffix : {".ost", ".plain.ost"}) {
        SCOPED_TRACE(name + suffix);
        auto twin = OpenStore<Unicode4KTraits>(CorpusFile("ost4k/" + name + suffix));
        ASSERT_TRUE(twin);
        EXPECT_EQ(twin->Header().Version(), 36);
        EXPECT_EQ(twin->Header().CryptMethod(), source->Header().CryptMethod());

        const auto sourceNodes = source->Walker().nodes.All();
        const auto twinNodes = twin->Walker().nodes.All();
        ASSERT_EQ(sourceNodes.size(), twinNodes.size());
        for (std::size_t i = 0; i < sourceNodes.size(); ++i) {
            const NbtEntry& a = *sourceNodes[i].second;
            const NbtEntry& b = *twinNodes[i].second;
            EXPECT_EQ(a.nid, b.nid);
            EXPECT_EQ(a.bidData, b.bidData);
            EXPECT_EQ(a.bidSub, b.bidSub);
            EXPECT_EQ(a.nidParent, b.nidParent);
            ExpectSameSubnodes(a.Subnodes(), b.Subnodes());
        }
        ASSERT_EQ(source->Blocks().map.Size(), twin->Blocks().map.Size());
        for (const auto& [bid, entry] : source->Blocks().map.All()) {
            EXPECT_EQ(source->Reader().ReadBlock(bid), twin->Reader().ReadBlock(bid))
                << "block " << bid;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, TwinStore,
                         testing::Values("unicode-basic", "unicode-contacts", "unicode-cyclic",
                                         "unicode-distlist", "unicode-flags",
                                         "unicode-nested-folders", "unicode-personal",
                                         "unicode-plain", "unicode-submessage", "unicode-to-cc"),
                         [](const auto& info) { return velmora::test::TestNameOf(info.param); });

}  // namespace
}  // namespace corvex
