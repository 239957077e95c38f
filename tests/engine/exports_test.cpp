// The three engine libraries, loaded by file name exactly as the viewer loads
// them, driven through their exports.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>

#include "engine/interface/session_summary.h"
#include "engine/interface/utf16_text.h"
#include "tests/support/test_paths.h"
#include "tools/storewriter/store_writer.h"
#include "tools/storewriter/synthetic_store.h"
#include "viewer/data/dynamic_library.h"

namespace {

using velmora::DynamicLibrary;
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
    return corvex::Utf8ToUtf16(path.string());
}

corvex::SessionSummary Summary(const LibraryCase& c, const EngineHandle* handle) {
    const std::string name = c.library;
    if (name == "Corvex32") return corvex::Summarize<corvex::AnsiTraits>(handle->session);
    if (name == "Corvex64") return corvex::Summarize<corvex::UnicodeTraits>(handle->session);
    return corvex::Summarize<corvex::Unicode4KTraits>(handle->session);
}

class EngineLibrary : public testing::TestWithParam<LibraryCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(library_.Load(velmora::test::LibraryDir() /
                                  velmora::PlatformLibraryName(GetParam().library)))
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

    DynamicLibrary library_;
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
    EXPECT_EQ(corvex::Utf16ToUtf8(handle->storePath), CorpusFile(GetParam().store).string());
    EXPECT_EQ(handle->rootFolders, nullptr);
    ASSERT_NE(handle->status, nullptr);
    EXPECT_EQ(*handle->status->stopWord, 0);
    EXPECT_EQ(Summary(GetParam(), handle).nodesByType[0x04], GetParam().messages);
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
    const corvex::SessionSummary before = Summary(GetParam(), second);
    remove_(first, nullptr);
    const corvex::SessionSummary after = Summary(GetParam(), second);
    EXPECT_EQ(after.nodes, before.nodes);
    EXPECT_EQ(after.blocks, before.blocks);
    EXPECT_GT(after.nodes, 0u);
    remove_(second, nullptr);
}

TEST_P(EngineLibrary, UnopenableStoreReportsTheSystemMessage) {
    OpenStatus status{};
    EngineHandle* handle = CreateAndParse(scratch_ / "no-such-store.pst", status);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(corvex::Utf16ToUtf8(status.text), "No such file or directory");
    EXPECT_EQ(Summary(GetParam(), handle).nodes, 0u);
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
    EXPECT_EQ(Summary(GetParam(), handle).nodes, 0u);
    *handle->status->stopWord = 0;
    parse_(store.c_str(), handle, nullptr, &status);
    EXPECT_EQ(Summary(GetParam(), handle).nodesByType[0x04], GetParam().messages);
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
    sw::StoreWriter writer(options);
    const sw::SyntheticStoreShape shape{3, 40, 3000, 2, 11};
    ASSERT_TRUE(sw::BuildSyntheticStore(writer, shape));
    std::string error;
    ASSERT_TRUE(writer.WriteTo(scratch / "made.ost", &error)) << error;

    DynamicLibrary library;
    ASSERT_TRUE(
        library.Load(velmora::test::LibraryDir() / velmora::PlatformLibraryName("Corvex64K")))
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
    const corvex::SessionSummary summary =
        corvex::Summarize<corvex::Unicode4KTraits>(handle->session);
    EXPECT_EQ(summary.version, 36);
    EXPECT_EQ(summary.nodesByType[0x04], 3u * 40u);
    remove(handle, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Built, EngineLibrary, testing::ValuesIn(kLibraries),
                         [](const auto& info) { return std::string(info.param.library); });

}  // namespace
