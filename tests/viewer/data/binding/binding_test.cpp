// The engine binding against the real libraries, a folder that lacks one of
// them, and a stand-in library that lacks most exports.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "common/path_text.h"
#include "tests/support/test_paths.h"
#include "viewer/data/binding/fresh_status.h"
#include "viewer/data/binding/pff_parsers.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/mail_access/record_getters.h"

namespace velmora::test {
namespace {

FolderEntry* ChildNamed(const FolderList* list, const std::u16string& name) {
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        if (FolderName(list->items[i]) == name) return list->items[i];
    }
    return nullptr;
}

std::unique_ptr<CPFFLibraryDataParser> BindingFor(const std::filesystem::path& store,
                                                  const std::filesystem::path& folder) {
    std::uint16_t version = 0;
    OpenStatus status = FreshOpenStatus();
    EXPECT_NE(ReadStoreVersion(common::PathToUtf16(store), &version, &status), 0);
    auto binding = CreateParserForVersion(version, folder);
    return std::unique_ptr<CPFFLibraryDataParser>(
        dynamic_cast<CPFFLibraryDataParser*>(binding.release()));
}

class RealLibraryTest : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        VELMORA_REQUIRE_CORPUS();
        store_ = CorpusFile(GetParam());
        binding_ = BindingFor(store_, common::ProgramLibraryFolder());
        ASSERT_NE(binding_, nullptr);
        OpenStatus status = FreshOpenStatus();
        binding_->Create(common::PathToUtf16(store_), common::PathToUtf16(work_.Path()), &status);
        ASSERT_NE(binding_->Handle(), nullptr);
        binding_->Parse(common::PathToUtf16(store_), common::PathToUtf16(work_.Path()), &status);
        ASSERT_EQ(status.code, 1);
    }
    void TearDown() override {
        OpenStatus status = FreshOpenStatus();
        if (binding_ && binding_->Handle() != nullptr) binding_->DeletePFFData(&status);
    }

    FolderEntry* Inbox() {
        return ChildNamed(FindTopOfPersonalFolders(binding_->Handle())->children, u"Inbox");
    }

    ScratchDir work_;
    std::filesystem::path store_;
    std::unique_ptr<CPFFLibraryDataParser> binding_;
};

TEST_P(RealLibraryTest, FolderOperationsFillTheTree) {
    OpenStatus status = FreshOpenStatus();
    EXPECT_EQ(binding_->EnumAllFolders(&status), 0);
    const std::uint32_t roots = RootFolders(binding_->Handle())->count;
    ASSERT_GT(roots, 0u);
    ASSERT_NE(Inbox(), nullptr);
    // The root enumeration appends the root folders once more; the engine never empties a list.
    EXPECT_EQ(binding_->EnumRootFolder(nullptr), 0);
    EXPECT_EQ(RootFolders(binding_->Handle())->count, 2 * roots);
    FolderEntry* top = FindTopOfPersonalFolders(binding_->Handle());
    const std::uint32_t children = top->children->count;
    EXPECT_EQ(binding_->EnumChildFolder(top, &status), 0);
    EXPECT_EQ(top->children->count, 2 * children);
}

TEST_P(RealLibraryTest, MailOperationsListTheWholeFolderThenContinue) {
    OpenStatus status = FreshOpenStatus();
    binding_->EnumAllFolders(&status);
    FolderEntry* inbox = Inbox();
    ASSERT_NE(inbox, nullptr);
    EXPECT_EQ(binding_->EnumChildMails(inbox, &status), 0);
    EXPECT_EQ(inbox->mails->entries.count, 1u);
    EXPECT_EQ(MailSubject(inbox->mails->entries.items[0]), u"Multiple recipients");
    inbox->mails->batchCount = 1;
    EXPECT_EQ(binding_->EnumChildMailsNext(inbox, nullptr), 0);
    EXPECT_EQ(inbox->mails->entries.count, 2u);
}

TEST_P(RealLibraryTest, SaveOperationsWithoutExportsReleaseTheLibrary) {
    ASSERT_TRUE(binding_->LibraryLoaded());
    // Another load keeps the library, and with it the session, in memory, as a
    // second open store would: the binding's release alone must not end them.
    common::DynamicLibrary keeper;
    ASSERT_TRUE(keeper.Load(binding_->LibraryPath()));
    for (auto save :
         {&CPFFLibraryDataParser::SaveMailBody, &CPFFLibraryDataParser::SaveAttachment}) {
        EXPECT_EQ((binding_.get()->*save)(nullptr), 0);
        EXPECT_FALSE(binding_->LibraryLoaded());
        // The next operation loads the library again and finds the session as it was.
        OpenStatus status = FreshOpenStatus();
        binding_->EnumAllFolders(&status);
        EXPECT_TRUE(binding_->LibraryLoaded());
        EXPECT_NE(Inbox(), nullptr);
    }
}

TEST_P(RealLibraryTest, FolderHierarchyIsSavedBelowTheTarget) {
    ScratchDir target;
    EXPECT_EQ(binding_->SaveFolderHierarchy(0x122, 0, common::PathToUtf16(target.Path()), 0), 0);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(target.Path()))
        files += entry.is_regular_file();
    EXPECT_GT(files, 0u);
}

TEST_P(RealLibraryTest, TestRunOpensTheStoreAndDeleteClearsTheHandle) {
    EXPECT_EQ(binding_->Test(common::PathToUtf16(store_), common::PathToUtf16(work_.Path())), 1);
    EXPECT_EQ(binding_->Test(common::PathToUtf16(work_ / "missing.pst"),
                             common::PathToUtf16(work_.Path())),
              0);
    OpenStatus status = FreshOpenStatus();
    EXPECT_EQ(binding_->DeletePFFData(&status), 0);
    EXPECT_EQ(binding_->Handle(), nullptr);
}

// The same store in each variant: ANSI has no such twin, so its own store stands in for the folder
// checks.
INSTANTIATE_TEST_SUITE_P(Variants, RealLibraryTest,
                         ::testing::Values("unicode-to-cc.pst", "ost4k/unicode-to-cc.ost",
                                           "ost4k/unicode-to-cc.plain.ost"),
                         [](const auto& info) { return TestNameOf(info.param); });

TEST(AnsiLibraryTest, AnsiStoreReadsThroughCorvex32) {
    VELMORA_REQUIRE_CORPUS();
    ScratchDir work;
    const auto store = CorpusFile("ansi-many-items.pst");
    auto binding = BindingFor(store, common::ProgramLibraryFolder());
    ASSERT_NE(binding, nullptr);
    EXPECT_STREQ(binding->Names().library, "Corvex32");
    OpenStatus status = FreshOpenStatus();
    binding->Create(common::PathToUtf16(store), common::PathToUtf16(work.Path()), &status);
    binding->Parse(common::PathToUtf16(store), common::PathToUtf16(work.Path()), &status);
    binding->EnumAllFolders(&status);
    FolderEntry* inbox =
        ChildNamed(FindTopOfPersonalFolders(binding->Handle())->children, u"Inbox");
    ASSERT_NE(inbox, nullptr);
    binding->EnumChildMails(inbox, &status);
    EXPECT_EQ(inbox->mails->entries.count, 170u);
    binding->DeletePFFData(&status);
    EXPECT_EQ(binding->Handle(), nullptr);
}

// Copies two of the three libraries; the binding of the third finds nothing.
TEST(MissingLibraryTest, EveryOperationDoesNothing) {
    ScratchDir folder;
    for (const char* present : {"Corvex32", "Corvex64K"}) {
        std::filesystem::copy_file(LibraryDir() / common::PlatformLibraryName(present),
                                   folder / common::PlatformLibraryName(present));
    }
    CPFF64DataParser missing(folder.Path());
    CPFF32DataParser present(folder.Path());
    OpenStatus status = FreshOpenStatus();
    FolderEntry folderEntry{};
    EXPECT_EQ(missing.Create(u"x.pst", u"/tmp", &status), 0);
    EXPECT_EQ(missing.Handle(), nullptr);
    EXPECT_FALSE(missing.LibraryLoaded());
    EXPECT_EQ(missing.Test(u"x.pst", u"/tmp"), 0);
    EXPECT_EQ(missing.EnumChildMails(&folderEntry, &status), 0);
    EXPECT_EQ(missing.DeletePFFData(&status), 0);
    EXPECT_FALSE(missing.LibraryLoaded());
    EXPECT_EQ(status.code, 1);
    // A library that is there loads from the same folder.
    present.EnumAllFolders(&status);
    EXPECT_TRUE(present.LibraryLoaded());
}

TEST(MissingLibraryTest, NoFolderMeansNoLoadFromTheSearchPath) {
    CPFF64DataParser binding{std::filesystem::path()};
    OpenStatus status = FreshOpenStatus();
    binding.Create(u"x.pst", u"/tmp", &status);
    EXPECT_FALSE(binding.LibraryLoaded());
    EXPECT_EQ(binding.Handle(), nullptr);
}

TEST(MissingExportTest, MissingExportReleasesTheLibraryAndTheNextCallReloads) {
    CPFF64DataParser binding{std::filesystem::path(VELMORA_STUB_ENGINE_DIR)};
    OpenStatus status = FreshOpenStatus();
    binding.Create(u"x.pst", u"/tmp", &status);
    ASSERT_NE(binding.Handle(), nullptr);
    EXPECT_TRUE(binding.LibraryLoaded());
    EngineHandle* handle = binding.Handle();
    const struct {
        const char* operation;
        int (*call)(CPFF64DataParser&);
    } missing[] = {
        {"Parse",
         [](CPFF64DataParser& b) {
             OpenStatus s{};
             return b.Parse(u"x", u"y", &s);
         }},
        {"EnumAllFolders",
         [](CPFF64DataParser& b) {
             OpenStatus s{};
             return b.EnumAllFolders(&s);
         }},
        {"SaveFolderHierarchy",
         [](CPFF64DataParser& b) { return b.SaveFolderHierarchy(0x122, 0, u"/tmp", 0); }},
        {"DeletePFFData",
         [](CPFF64DataParser& b) {
             OpenStatus s{};
             return b.DeletePFFData(&s);
         }},
    };
    for (const auto& m : missing) {
        binding.Create(u"x.pst", u"/tmp", &status);
        EXPECT_TRUE(binding.LibraryLoaded()) << m.operation;
        EXPECT_EQ(m.call(binding), 0) << m.operation;
        EXPECT_FALSE(binding.LibraryLoaded()) << m.operation;
        // A delete that never reached a library keeps the handle.
        EXPECT_EQ(binding.Handle(), handle) << m.operation;
    }
}

}  // namespace
}  // namespace velmora::test
