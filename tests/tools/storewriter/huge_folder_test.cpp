// Folders past what a 16-bit count holds: one folder of 70,000 messages and
// one of 70,000 subfolders, with minimal property contexts so that they are
// quick to write; the engine's walks must list every one of them.
#include "tests/tools/storewriter/mail_store_fixture.h"
#include "tests/tools/storewriter/writer_cases.h"

namespace velmora::storewriter::test {
namespace {

constexpr std::uint32_t kHugeCount = 70000;

class HugeFolderTest : public ::testing::TestWithParam<WriterCase> {
  protected:
    std::filesystem::path Write(StoreBuilder& builder) {
        std::string error;
        EXPECT_TRUE(builder.WriteTo(scratch_ / "huge.pst", &error)) << error;
        return scratch_ / "huge.pst";
    }
    WriterOptions Options() const {
        WriterOptions options = GetParam().options;
        options.spoolDirectory = scratch_.Path();
        options.compress = false;  // minimal contexts gain nothing from deflating
        return options;
    }
    FolderEntry* OnlyFolderBelowTop(velmora::test::OpenedStore& store) {
        FolderList& roots = store.AllFolders();
        if (roots.count != 1 || roots.items[0]->children->count != 1) return nullptr;
        return roots.items[0]->children->items[0];
    }

    velmora::test::ScratchDir scratch_;
};

TEST_P(HugeFolderTest, EnumChildMailsReturnsAllSeventyThousandMessages) {
    StoreBuilder builder(Options());
    const std::uint32_t folder = builder.AddFolder(builder.TopFolder(), "Bulk");
    MessageSpec message;
    for (std::uint32_t i = 0; i < kHugeCount; ++i) {
        message.subject = "m" + std::to_string(i);
        ASSERT_NE(builder.AddMessage(folder, message), 0u);
    }
    velmora::test::OpenedStore store(Write(builder), EngineVariant(GetParam().options.variant));
    FolderEntry* bulk = OnlyFolderBelowTop(store);
    ASSERT_NE(bulk, nullptr);
    ASSERT_EQ(store.Calls().enumChildMails(bulk, store.Handle(), 0, 0), 1);
    const auto mails = velmora::test::MailsOf(*bulk);
    ASSERT_EQ(mails.size(), kHugeCount);
    EXPECT_EQ(velmora::test::PropText(mails.front()->props, 0x0037), "m0");
    EXPECT_EQ(velmora::test::PropText(mails.back()->props, 0x0037),
              "m" + std::to_string(kHugeCount - 1));
}

TEST_P(HugeFolderTest, EnumAllFoldersListsAllSeventyThousandSubfolders) {
    StoreBuilder builder(Options());
    const std::uint32_t parent = builder.AddFolder(builder.TopFolder(), "Many");
    for (std::uint32_t i = 0; i < kHugeCount; ++i) {
        ASSERT_NE(builder.AddFolder(parent, "f" + std::to_string(i)), 0u);
    }
    velmora::test::OpenedStore store(Write(builder), EngineVariant(GetParam().options.variant));
    FolderEntry* many = OnlyFolderBelowTop(store);
    ASSERT_NE(many, nullptr);
    ASSERT_EQ(many->children->count, kHugeCount);
    EXPECT_EQ(velmora::test::FolderDisplayName(*many->children->items[0]), "f0");
    EXPECT_EQ(velmora::test::FolderDisplayName(*many->children->items[kHugeCount - 1]),
              "f" + std::to_string(kHugeCount - 1));
}

INSTANTIATE_TEST_SUITE_P(EachVariant, HugeFolderTest, ::testing::ValuesIn(VariantCases()),
                         CaseName);

}  // namespace
}  // namespace velmora::storewriter::test
