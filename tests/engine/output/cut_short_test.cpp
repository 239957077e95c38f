// Stores cut short, as an interrupted copy or download leaves them: each opens
// with one message that gives both sizes, and shows what its remaining bytes
// still hold, in every variant. A whole file, or one with bytes after its
// recorded end, opens without a word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/storage/engine_message.h"
#include "tests/engine/output/walk_support.h"
#include "tests/engine/storage/store_fixtures.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

std::size_t CountFolders(const FolderList* list) {
    std::size_t count = 0;
    for (std::uint32_t i = 0; list != nullptr && i < list->count; ++i)
        count += 1 + CountFolders(list->items[i]->children);
    return count;
}

// Every engine message of the test, in order.
class RecordedMessages {
  public:
    RecordedMessages() {
        previous_ = corvex::SetEngineMessageHandler(
            [this](std::string_view text, std::string_view) { texts.emplace_back(text); });
    }
    ~RecordedMessages() { corvex::SetEngineMessageHandler(previous_); }
    std::vector<std::string> texts;

  private:
    corvex::EngineMessageHandler previous_;
};

struct OpenedCopy {
    std::vector<std::string> messages;
    std::size_t folders = 0;
};

OpenedCopy OpenCopy(const fs::path& original, std::vector<std::uint8_t> bytes) {
    ScratchDir scratch;
    WriteFileBytes(scratch / "copy.store", bytes);
    RecordedMessages recorded;
    OpenedStore store(scratch / "copy.store", VariantOfStore(original));
    EXPECT_TRUE(store.Opened());
    const std::size_t folders = CountFolders(&store.AllFolders());
    return {recorded.texts, folders};
}

std::string CutShortText(std::size_t size, std::size_t recorded) {
    return "The file is shorter than its header says (" + std::to_string(size) + " of " +
           std::to_string(recorded) + " bytes); it may be cut off";
}

class CutShortTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CutShortTest, OpensWithTheSizesAndShowsWhatRemains) {
    VELMORA_REQUIRE_CORPUS();
    const fs::path original = CorpusFile(GetParam());
    const std::vector<std::uint8_t> whole = ReadFileBytes(original);
    const OpenedCopy intact = OpenCopy(original, whole);
    ASSERT_TRUE(intact.messages.empty()) << intact.messages.front();
    ASSERT_GT(intact.folders, 0u);

    std::vector<std::uint8_t> longer = whole;
    longer.resize(whole.size() + 4096, 0);
    EXPECT_EQ(OpenCopy(original, longer).messages, std::vector<std::string>{})
        << "bytes after the recorded end are never read";

    // Just the header, a tenth, a half and all but the last byte.
    for (const std::size_t size :
         {std::size_t{600}, whole.size() / 10, whole.size() / 2, whole.size() - 1}) {
        SCOPED_TRACE("first " + std::to_string(size) + " bytes");
        const OpenedCopy cut =
            OpenCopy(original, std::vector<std::uint8_t>(whole.begin(), whole.begin() + size));
        ASSERT_FALSE(cut.messages.empty());
        EXPECT_EQ(cut.messages.front(), CutShortText(size, whole.size()));
        EXPECT_EQ(std::count(cut.messages.begin(), cut.messages.end(), cut.messages.front()), 1);
        EXPECT_LE(cut.folders, intact.folders);
        // The last byte of these stores holds nothing the folder tree needs.
        if (size == whole.size() - 1) {
            EXPECT_EQ(cut.folders, intact.folders);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachVariant, CutShortTest,
                         ::testing::Values("ansi-many-items.pst", "unicode-cyclic.pst",
                                           "ost4k/unicode-cyclic.ost",
                                           "ost4k/unicode-nested-folders.plain.ost"),
                         [](const auto& info) { return TestNameOf(info.param); });

}  // namespace
}  // namespace velmora::test
