// Edge cases of the B-tree walk, made by editing copies of real stores.
#include <gtest/gtest.h>

#include "common/little_endian.h"
#include "tests/engine/storage/store_fixtures.h"
#include "tests/engine/storage/store_layout.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

using velmora::test::CorpusFile;
using velmora::test::OpenStore;

class EditedStore {
  public:
    explicit EditedStore(const std::string& name)
        : image_(velmora::test::ReadFileBytes(CorpusFile(name))) {}

    std::vector<std::uint8_t>& Image() { return image_; }

    template <typename V>
    std::unique_ptr<NodeDatabase<V>> Open() {
        velmora::test::WriteFileBytes(scratch_ / "edited.store", image_);
        return OpenStore<V>(scratch_ / "edited.store");
    }

  private:
    velmora::test::ScratchDir scratch_;
    std::vector<std::uint8_t> image_;
};

TEST(BTreeWalk, ForeignMagicAndVersionAreNotChecked) {
    VELMORA_REQUIRE_CORPUS();
    EditedStore store("unicode-flags.pst");
    for (std::size_t i = 0; i < 24; ++i)
        store.Image()[i] ^= 0x5A;  // magic, CRC, client magic, version
    auto edited = store.Open<UnicodeTraits>();
    auto original = OpenStore<UnicodeTraits>(CorpusFile("unicode-flags.pst"));
    EXPECT_EQ(edited->Walker().nodes.Size(), original->Walker().nodes.Size());
    EXPECT_EQ(edited->Blocks().map.Size(), original->Blocks().map.Size());
}

TEST(BTreeWalk, NodeRootOfAnotherPageTypeYieldsNoNodes) {
    VELMORA_REQUIRE_CORPUS();
    EditedStore store("unicode-flags.pst");
    const std::uint64_t nbtRoot = common::LoadLE<std::uint64_t>(common::Bytes(store.Image()),
                                                                UnicodeTraits::kNbtRootIbOffset);
    store.Image()[nbtRoot + UnicodeTraits::kPtypeOffset] = 0x80;
    auto edited = store.Open<UnicodeTraits>();
    EXPECT_EQ(edited->Walker().nodes.Size(), 0u);
    EXPECT_EQ(edited->Walker().folderChildren.EqualRange(0x122).size(), 0u);
    EXPECT_GT(edited->Blocks().map.Size(), 0u);  // the block tree has no page type test
}

TEST(BTreeWalk, FirstOfTwoEqualBidsWins) {
    VELMORA_REQUIRE_CORPUS();
    EditedStore store("ansi-many-items.pst");
    auto original = OpenStore<AnsiTraits>(CorpusFile("ansi-many-items.pst"));
    const auto& firstLeafPage = *original->Blocks().root.children.front();
    ASSERT_GE(firstLeafPage.leaves.size(), 2u);
    const BbtEntry<AnsiTraits>& first = *firstLeafPage.leaves[0];
    // Give the page's second record the first one's BID, pointing at another place.
    common::StoreLE32(&store.Image()[firstLeafPage.ref.ib + 12],
                      static_cast<std::uint32_t>(first.bid));
    auto edited = store.Open<AnsiTraits>();
    const BbtEntry<AnsiTraits>* found = edited->Reader().Lookup(first.bid);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->ib, first.ib);
    EXPECT_EQ(edited->Blocks().map.EqualRange(first.bid).size(), 2u);
}

TEST(BTreeWalk, LeafPageWithUnacceptedEntrySizeIsSkipped) {
    VELMORA_REQUIRE_CORPUS();
    EditedStore store("unicode-backup.pst");
    auto original = OpenStore<UnicodeTraits>(CorpusFile("unicode-backup.pst"));
    const auto layout = velmora::test::LayoutOf(*original);
    const velmora::test::PagePlace* leafPage = nullptr;
    for (const auto& page : layout.pages) {
        if (page.nodeTree && !page.leafKeys.empty()) leafPage = &page;
    }
    ASSERT_NE(leafPage, nullptr);
    store.Image()[leafPage->ib + UnicodeTraits::kPageMetaOffset + 2] =
        31;  // cbEnt below a node record
    auto edited = store.Open<UnicodeTraits>();
    EXPECT_EQ(edited->Walker().nodes.Size(),
              original->Walker().nodes.Size() - leafPage->leafKeys.size());
    for (std::uint64_t nid : leafPage->leafKeys) EXPECT_EQ(edited->Walker().FindNode(nid), nullptr);
}

TEST(BTreeWalk, SearchFoldersAreChildrenAndAssociatedMessagesOnlyNodes) {
    VELMORA_REQUIRE_CORPUS();
    auto database = OpenStore<UnicodeTraits>(CorpusFile("unicode-flags.pst"));
    std::size_t searchFolders = 0;
    std::size_t associated = 0;
    for (const auto& [key, node] : database->Walker().nodes.All()) {
        const auto& indexed = node->NidType() == 0x03 ? database->Walker().folderChildren
                                                      : database->Walker().messageChildren;
        const bool listed =
            std::ranges::any_of(indexed.EqualRange(node->nidParent),
                                [&node = node](const auto& item) { return item.second == node; });
        if (node->NidType() == 0x03) searchFolders += listed;
        if (node->NidType() == 0x08) associated += !listed;
    }
    EXPECT_EQ(searchFolders, 6u);
    EXPECT_EQ(associated, 3u);
}

}  // namespace
}  // namespace corvex
