// Every real store through the exports the viewer calls: the whole folder tree
// from the all-folders enumeration, and every folder's messages with their
// recipient and attachment rows, compared with what an independent reader
// reports for the same store (expected/NAME.json); and every value of every
// message that crosses as a file, written only when it is read, compared byte
// for byte with what the store holds for it.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>

#include "engine/output/walks/loaded_message.h"
#include "engine/storage/variant_traits.h"
#include "tests/engine/output/corpus_expectations.h"
#include "tests/engine/output/walk_support.h"
#include "tests/engine/storage/store_fixtures.h"

namespace velmora::test {
namespace {

using nlohmann::json;

// The folder paths the independent reader lists below the top folder.
std::set<std::string> ExpectedFolderPaths(const json& expected) {
    std::set<std::string> paths;
    for (const json& folder : expected["folders"]) {
        if (IsFolderPath(folder["path"])) paths.insert(folder["path"].get<std::string>());
    }
    return paths;
}

std::set<std::string> WalkedPaths(const std::vector<WalkedFolder>& folders) {
    std::set<std::string> paths;
    for (const WalkedFolder& folder : folders) paths.insert(folder.path);
    return paths;
}

// Every message of every folder below (and of) the top folder, as listed by
// the message enumeration with first index 0 and no maximum.
std::vector<StoreItem> EnumerateItems(OpenedStore& store, FolderEntry& top,
                                      const std::vector<WalkedFolder>& folders) {
    std::vector<StoreItem> items;
    std::vector<WalkedFolder> all{{"", &top}};
    all.insert(all.end(), folders.begin(), folders.end());
    for (const WalkedFolder& folder : all) {
        store.Calls().enumChildMails(folder.entry, store.Handle(), 0, 0);
        for (const MailEntry* mail : MailsOf(*folder.entry))
            items.push_back(ItemOf(*mail, folder.path));
    }
    return items;
}

MatchResult MatchAll(const std::string& store, const json& expected,
                     const std::vector<StoreItem>& items, std::vector<bool>& used) {
    MatchResult result;
    for (const json& folder : expected["folders"]) {
        const std::string path = folder["path"];
        MatchItems(
            store, path.empty() ? "(top)" : path, folder["items"], items,
            [&path](const StoreItem& item) { return item.folder == path; }, used, result);
    }
    return result;
}

// Root-level folders other than the top folder are not part of the folder list
// the independent reader writes: it starts at the top of the personal folders,
// while the engine lists every folder filed under the root folder, among them
// the search root ("Search Root"), the "Freebusy Data" and
// "IPM_COMMON_VIEWS"-style folders some clients add.
void PrintOutsideTop(const std::string& file, const FolderList& roots, const FolderEntry* top) {
    std::cout << "[ walk     ] " << file << ": beside the top folder:";
    for (std::uint32_t i = 0; i < roots.count; ++i) {
        if (roots.items[i] != top) std::cout << " '" << FolderDisplayName(*roots.items[i]) << "'";
    }
    std::cout << "\n";
}

// The items of a folder the independent reader does not report, and why:
//  - posts (message class "IPM.Post"), which that reader skips as an item type
//    it does not export (ansi-basic and unicode-basic keep one in the top
//    folder and one in "Folder"); the engine hands every message over alike;
//  - distribution lists, which that reader shows as folders of their members
//    ("Contacts/DistributionList00001") instead of as items.
std::size_t UnreportedItemsExpected(const WalkedFolder& folder,
                                    const std::set<std::string>& listedPaths) {
    constexpr std::uint16_t kMessageClass = 0x001A;
    std::size_t posts = 0;
    for (const MailEntry* mail : MailsOf(*folder.entry))
        posts += PropText(mail->props, kMessageClass) == "IPM.Post";
    std::size_t distributionLists = 0;
    for (const std::string& path : listedPaths) {
        const std::string parent = path.substr(0, path.size() - LastComponent(path).size());
        distributionLists += !IsFolderPath(path) && !LastComponent(path).empty() &&
                             parent == (folder.path.empty() ? "" : folder.path + "/");
    }
    return posts + distributionLists;
}

std::set<std::string> ListedPaths(const json& expected) {
    std::set<std::string> paths;
    for (const json& folder : expected["folders"]) paths.insert(folder["path"].get<std::string>());
    return paths;
}

std::size_t UnusedIn(const std::string& folder, const std::vector<StoreItem>& items,
                     const std::vector<bool>& used) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < items.size(); ++i) count += !used[i] && items[i].folder == folder;
    return count;
}

class CorpusWalks : public ::testing::TestWithParam<CorpusStore> {};

TEST_P(CorpusWalks, FolderTreeAndMessagesAgreeWithIndependentReader) {
    VELMORA_REQUIRE_CORPUS();
    const CorpusStore& param = GetParam();
    const json expected = LoadExpected(param.expected);
    ASSERT_TRUE(expected.contains("folders")) << param.expected;
    OpenedStore store(CorpusFile(param.file));
    ASSERT_TRUE(store.Opened());
    const FolderList& roots = store.AllFolders();
    FolderEntry* top = FindFolderByName(roots, expected["top"]);
    ASSERT_NE(top, nullptr) << "no root folder named " << expected["top"];
    PrintOutsideTop(param.file, roots, top);

    std::vector<WalkedFolder> folders = FoldersBelow(*top);
    EXPECT_EQ(WalkedPaths(folders), ExpectedFolderPaths(expected));

    const std::vector<StoreItem> items = EnumerateItems(store, *top, folders);
    std::vector<bool> used(items.size(), false);
    const MatchResult result = MatchAll(param.expected, expected, items, used);
    std::cout << "[ walk     ] " << param.file << ": folders " << folders.size() << ", items "
              << result.matched << "/" << result.items << " of " << items.size() << " enumerated\n";
    for (const std::string& difference : result.differences) ADD_FAILURE() << difference;
    folders.push_back({"", top});
    for (const WalkedFolder& folder : folders) {
        EXPECT_EQ(UnusedIn(folder.path, items, used),
                  UnreportedItemsExpected(folder, ListedPaths(expected)))
            << "items of '" << folder.path << "' that the independent reader does not list";
    }
}

using Bytes = std::vector<std::uint8_t>;

// The out-of-line values of a message read straight from the store, in the
// order its records hold their value files: the message's, then each
// attachment object's followed by those of the message it holds.
template <typename V>
void AddStoredValues(const corvex::ContextReader<V>& contexts, const corvex::LoadedMessage& message,
                     std::vector<Bytes>& out) {
    const auto add = [&](const corvex::PropertyMap& properties) {
        for (const auto& [id, value] : properties) {
            if (value.inSubnode) out.push_back(contexts.ValueBytes(value));
        }
    };
    add(message.properties);
    for (const corvex::AttachmentRecord& attachment : message.attachments) {
        add(attachment.object);
        if (attachment.embedded) AddStoredValues(contexts, *attachment.embedded, out);
    }
}

// Every folder's messages, keyed by folder NID.
template <typename V>
std::map<std::uint32_t, std::vector<Bytes>> StoredValuesByFolder(
    const std::filesystem::path& file) {
    const auto database = OpenStore<V>(file);
    std::map<std::uint32_t, std::vector<Bytes>> values;
    if (!database) return values;
    const corvex::ContextReader<V> contexts(database->Reader());
    for (const auto& [parent, node] : database->Walker().messageChildren.All()) {
        AddStoredValues(contexts, corvex::LoadMessage(contexts, *node),
                        values[static_cast<std::uint32_t>(parent)]);
    }
    return values;
}

std::map<std::uint32_t, std::vector<Bytes>> StoredValuesByFolder(
    const std::filesystem::path& file) {
    switch (VariantOfStore(file)) {
        case StoreVariant::kAnsi:
            return StoredValuesByFolder<corvex::AnsiTraits>(file);
        case StoreVariant::kUnicode4K:
            return StoredValuesByFolder<corvex::Unicode4KTraits>(file);
        default:
            return StoredValuesByFolder<corvex::UnicodeTraits>(file);
    }
}

void CollectAllFolders(const FolderList& list, std::vector<const FolderEntry*>& out) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        out.push_back(list.items[i]);
        CollectAllFolders(*list.items[i]->children, out);
    }
}

// Enumerating every folder writes no value file; reading each value then
// writes exactly one file per value, holding the store's bytes for it.
TEST_P(CorpusWalks, ValuesReadThroughTheirFilesAreTheStoresOwnBytes) {
    VELMORA_REQUIRE_CORPUS();
    const std::filesystem::path file = CorpusFile(GetParam().file);
    std::map<std::uint32_t, std::vector<Bytes>> stored = StoredValuesByFolder(file);
    OpenedStore store(file);
    ASSERT_TRUE(store.Opened());
    std::vector<const FolderEntry*> folders;
    CollectAllFolders(store.AllFolders(), folders);
    const std::size_t before = FilesIn(store.ValueFileFolder());
    std::size_t values = 0;
    for (const FolderEntry* folder : folders) {
        store.Calls().enumChildMails(const_cast<FolderEntry*>(folder), store.Handle(), 0, 0);
        EXPECT_EQ(FilesIn(store.ValueFileFolder()), before) << "the enumeration wrote a file";
        const std::vector<const ExportedProp*> props = ValueFilePropsOf(*folder);
        const std::vector<Bytes>& expected = stored[folder->nidLow];
        ASSERT_EQ(props.size(), expected.size()) << FolderDisplayName(*folder);
        for (std::size_t i = 0; i < props.size(); ++i)
            EXPECT_EQ(PropBytes(*props[i]), expected[i]) << FolderDisplayName(*folder) << " " << i;
        EXPECT_EQ(FilesIn(store.ValueFileFolder()), before + props.size());
        values += props.size();
        // The next folder's values are counted alone: these go with their records.
        store.Calls().enumChildMails(const_cast<FolderEntry*>(folder), store.Handle(), UINT32_MAX,
                                     1);
    }
    std::cout << "[ values   ] " << GetParam().file << ": " << values << " value files read\n";
}

std::string StoreName(const ::testing::TestParamInfo<CorpusStore>& info) {
    return TestNameOf(info.param.file);
}

INSTANTIATE_TEST_SUITE_P(Stores, CorpusWalks, ::testing::ValuesIn(AllCorpusStores()), StoreName);

}  // namespace
}  // namespace velmora::test
