// Every folder and message context of every real store, read through the heap,
// property and table context layers and compared with what an independent
// reader reports for the same store (expected/NAME.json).
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

#include "engine/storage/engine_message.h"
#include "tests/engine/output/corpus_expectations.h"
#include "tests/engine/output/corpus_items.h"
#include "tests/support/test_paths.h"

namespace velmora::test {
namespace {

using nlohmann::json;

// Matches every expected folder's items with the engine's items of the folder
// of the same name, and counts the expected folders the engine has.
MatchResult Match(const std::string& store, const json& expected, const StoreContents& contents) {
    MatchResult result;
    std::vector<bool> used(contents.items.size(), false);
    for (const json& folder : expected["folders"]) {
        const std::string path = folder["path"];
        const std::string name = LastComponent(path);
        if (IsFolderPath(path)) {
            ++result.folders;
            if (std::find(contents.folders.begin(), contents.folders.end(), name) !=
                contents.folders.end())
                ++result.foldersFound;
        }
        MatchItems(
            store, name, folder["items"], contents.items,
            [&name](const StoreItem& item) { return item.folder == name; }, used, result);
    }
    return result;
}

class CorpusContexts : public ::testing::TestWithParam<CorpusStore> {};

TEST_P(CorpusContexts, AgreeWithIndependentReader) {
    VELMORA_REQUIRE_CORPUS();
    const CorpusStore& store = GetParam();
    const json expected = LoadExpected(store.expected);
    ASSERT_TRUE(expected.contains("folders")) << store.expected;
    corvex::ResetRecordedEngineMessages();
    StoreContents contents = ReadStoreContents(CorpusFile(store.file));
    EXPECT_EQ(corvex::RecordedEngineMessages().count, 0u)
        << "every HID of a real store names an allocation";
    const MatchResult result = Match(store.expected, expected, contents);

    std::cout << "[ corpus   ] " << store.file << ": items " << result.matched << "/"
              << result.items << ", folders " << result.foldersFound << "/" << result.folders
              << ", engine messages " << contents.items.size() << "\n";
    for (const std::string& difference : result.differences) ADD_FAILURE() << difference;
    EXPECT_EQ(result.foldersFound, result.folders);
}

std::string StoreName(const ::testing::TestParamInfo<CorpusStore>& info) {
    return TestNameOf(info.param.file);
}

INSTANTIATE_TEST_SUITE_P(Stores, CorpusContexts, ::testing::ValuesIn(AllCorpusStores()), StoreName);

}  // namespace
}  // namespace velmora::test
