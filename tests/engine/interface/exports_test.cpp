// The three engine libraries, loaded by file name exactly as the viewer loads
// them, driven through their exports.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>

#include "common/dynamic_library.h"
#include "common/utf16_text.h"
#include "engine/interface/corvex_engine.h"
#include "tests/support/test_paths.h"
#include "tools/storewriter/sample_mail_store.h"

namespace {

using common::DynamicLibrary;
using velmora::test::CorpusFile;

struct LibraryCase {
    const char* library;
    const char* createName;
    const char* parseName;
    const char* testName;
    const char* store;
    const char* greeting;
    std::size_t messages;  // normal message nodes of the store
};

void PrintTo(const LibraryCase& c, std::ostream* os) {
    *os << c.library;
}

const LibraryCase kLibraries[] = {
    {"Corvex32", "_ExpCreatePFF32Object", "_ExpParsePFF32", "_ExpTestPFF32", "ansi-many-items.pst",
     "", 294},
    {"Corvex64", "_ExpCreatePFF64Object", "_ExpParsePFF64", "_ExpPFFParseTest",
     "unicode-cyclic.pst", "WELLCOMR IN SERVER\n", 36},
    {"Corvex64K", "_ExpCreatePFF64P4KObject", "_ExpParsePFF64", "_ExpPFFParseTest",
     "ost4k/unicode-plain.ost", "wellcome\n", 20},
};

std::u16string U16(const std::filesystem::path& path) {
    return common::Utf8ToUtf16(path.string());
}

// What a parsed handle shows through the exports alone, as the viewer sees it:
// its folders, and the messages their enumeration hands out.
struct StoreCounts {
    std::size_t folders = 0;
    std::size_t messages = 0;
    bool operator==(const StoreCounts&) const = default;
};

void CountBelow(const FolderList* list, const DynamicLibrary& library, EngineHandle* handle,
                StoreCounts& counts) {
    const auto enumMails = library.FindAs<CorvexEnumChildMailsFn>("_ExpEnumChildMails");
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i) {
        FolderEntry* folder = list->items[i];
        ++counts.folders;
        enumMails(folder, handle, nullptr, 0, 0);
        if (folder->mails != nullptr) counts.messages += folder->mails->entries.count;
        CountBelow(folder->children, library, handle, counts);
    }
}

StoreCounts CountThroughExports(const DynamicLibrary& library, EngineHandle* handle) {
    StoreCounts counts;
    const auto enumAll = library.FindAs<CorvexEnumAllFoldersFn>("_ExpEnumAllFolders");
    if (enumAll == nullptr) return counts;
    enumAll(handle, nullptr);
    CountBelow(handle->rootFolders, library, handle, counts);
    return counts;
}

class EngineLibrary : public testing::TestWithParam<LibraryCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Load(velmora::test::LibraryDir() /
                                  common::PlatformLibraryName(GetParam().library)))
            << library_.Error();
        create_ = library_.FindAs<CorvexCreateFn>(GetParam().createName);
        parse_ = library_.FindAs<CorvexParseFn>(GetParam().parseName);
        remove_ = library_.FindAs<CorvexDeleteFn>("_ExpDeletePFFData");
        ASSERT_TRUE(create_ && parse_ && remove_);
    }

    EngineHandle* CreateAndParse(const std::filesystem::path& store, OpenStatus& status) {
        EngineHandle* handle = nullptr;
        status.code = 1;
        create_(U16(store).c_str(), &handle, U16(scratch_.Path()).c_str(), &status);
        if (handle != nullptr)
            parse_(U16(store).c_str(), handle, U16(scratch_.Path()).c_str(), &status);
        return handle;
    }

    common::DynamicLibrary library_;
    velmora::test::ScratchDir scratch_;
    CorvexCreateFn create_ = nullptr;
    CorvexParseFn parse_ = nullptr;
    CorvexDeleteFn remove_ = nullptr;
};

TEST_P(EngineLibrary, CreateParseDelete) {
    VELMORA_REQUIRE_CORPUS();
    OpenStatus status{};
    EngineHandle* handle = CreateAndParse(CorpusFile(GetParam().store), status);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(status.code, 1);
    EXPECT_EQ(common::Utf16ToUtf8(handle->storePath), CorpusFile(GetParam().store).string());
    EXPECT_EQ(handle->rootFolders, nullptr);
    ASSERT_NE(handle->status, nullptr);
    EXPECT_EQ(*handle->status->stopWord, 0);
    EXPECT_EQ(CountThroughExports(library_, handle).messages, GetParam().messages);
    for (const char* folder : {"Bin File", "Folder", "GUIDTempFiles"}) {
        EXPECT_TRUE(std::filesystem::is_directory(scratch_ / folder)) << folder;
    }
    EXPECT_EQ(remove_(handle, nullptr), 1);
}

TEST_P(EngineLibrary, DeletingOneHandleKeepsTheOther) {
    VELMORA_REQUIRE_CORPUS();
    OpenStatus status{};
    EngineHandle* first = CreateAndParse(CorpusFile(GetParam().store), status);
    EngineHandle* second = CreateAndParse(CorpusFile(GetParam().store), status);
    ASSERT_TRUE(first && second);
    const StoreCounts before = CountThroughExports(library_, first);
    remove_(first, nullptr);
    const StoreCounts after = CountThroughExports(library_, second);
    EXPECT_EQ(after, before);
    EXPECT_GT(after.messages, 0u);
    remove_(second, nullptr);
}

TEST_P(EngineLibrary, UnopenableStoreReportsTheSystemMessage) {
    OpenStatus status{};
    EngineHandle* handle = CreateAndParse(scratch_ / "no-such-store.pst", status);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(common::Utf16ToUtf8(status.text), "No such file or directory");
    EXPECT_EQ(CountThroughExports(library_, handle), StoreCounts{});
    remove_(handle, nullptr);

    handle = CreateAndParse(scratch_.Path(), status);  // a folder is not a store
    EXPECT_EQ(status.code, 0);
    remove_(handle, nullptr);
}

TEST_P(EngineLibrary, StopWordSetBeforeParseLeavesTheIndexEmpty) {
    VELMORA_REQUIRE_CORPUS();
    OpenStatus status{};
    EngineHandle* handle = nullptr;
    const auto store = U16(CorpusFile(GetParam().store));
    create_(store.c_str(), &handle, U16(scratch_.Path()).c_str(), &status);
    *handle->status->stopWord = CORVEX_STOP_STATE;
    parse_(store.c_str(), handle, nullptr, &status);
    EXPECT_EQ(CountThroughExports(library_, handle), StoreCounts{});
    *handle->status->stopWord = 0;
    parse_(store.c_str(), handle, nullptr, &status);
    EXPECT_EQ(CountThroughExports(library_, handle).messages, GetParam().messages);
    remove_(handle, nullptr);
}

TEST_P(EngineLibrary, ParseTestGreetsAndReportsWhetherTheStoreOpened) {
    VELMORA_REQUIRE_CORPUS();
    auto test = library_.FindAs<CorvexParseTestFn>(GetParam().testName);
    ASSERT_NE(test, nullptr);
    testing::internal::CaptureStdout();
    const int32_t opened =
        test(U16(scratch_.Path()).c_str(), U16(CorpusFile(GetParam().store)).c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().greeting);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(test(U16(scratch_.Path()).c_str(), U16(scratch_ / "missing.pst").c_str()), 0);
}

TEST_P(EngineLibrary, ExportsCheckTheirArguments) {
    EXPECT_EQ(remove_(nullptr, nullptr), 1);
    EXPECT_EQ(create_(u"x", nullptr, u"", nullptr), 0);
    EXPECT_EQ(parse_(u"x", nullptr, u"", nullptr), 0);
}

// The 4K library on a store our own writer made (compressed blocks, crypt method 2).
TEST(EngineLibrary4K, ParsesAWriterMadeStore) {
    velmora::test::ScratchDir scratch;
    namespace sw = velmora::storewriter;
    sw::WriterOptions options;
    options.variant = sw::Variant::kUnicode4K;
    options.cryptMethod = 2;
    options.spoolDirectory = scratch.Path();
    sw::StoreBuilder builder(options);
    sw::SyntheticStoreShape shape;
    shape.folders = 3;
    shape.messagesPerFolder = 40;
    ASSERT_TRUE(sw::BuildSampleMailStore(builder, shape));
    std::string error;
    ASSERT_TRUE(builder.WriteTo(scratch / "made.ost", &error)) << error;

    common::DynamicLibrary library;
    ASSERT_TRUE(
        library.Load(velmora::test::LibraryDir() / common::PlatformLibraryName("Corvex64K")))
        << library.Error();
    auto create = library.FindAs<CorvexCreateFn>("_ExpCreatePFF64P4KObject");
    auto parse = library.FindAs<CorvexParseFn>("_ExpParsePFF64");
    auto remove = library.FindAs<CorvexDeleteFn>("_ExpDeletePFFData");
    EngineHandle* handle = nullptr;
    OpenStatus status{};
    status.code = 1;
    const std::u16string path = U16(scratch / "made.ost");
    create(path.c_str(), &handle, U16(scratch.Path()).c_str(), &status);
    parse(path.c_str(), handle, nullptr, &status);
    EXPECT_EQ(status.code, 1);
    EXPECT_EQ(CountThroughExports(library, handle).messages, 3u * 40u);
    remove(handle, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Built, EngineLibrary, testing::ValuesIn(kLibraries),
                         [](const auto& info) { return std::string(info.param.library); });

}  // namespace
