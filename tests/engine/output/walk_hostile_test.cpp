// Folder trees a damaged or hostile store can describe: parent links that form
// loops, and display names that try to leave the export's target folder. Each
// is made by editing a copy of a real store; every walk must end, and the
// export must write nothing outside its target.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <unordered_set>

#include "common/little_endian.h"
#include "common/path_text.h"
#include "common/utf16_text.h"
#include "engine/output/files/safe_name.h"
#include "engine/output/walks/record_memory.h"
#include "tests/engine/output/export_reader.h"
#include "tests/engine/output/walk_support.h"
#include "tests/engine/storage/store_fixtures.h"
#include "tests/engine/storage/store_layout.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

// A copy of a corpus store that can be edited and then opened through the exports.
class EditedStore {
  public:
    explicit EditedStore(const std::string& name)
        : original_(CorpusFile(name)), image_(ReadFileBytes(original_)) {}

    Image& Bytes() { return image_; }
    const fs::path& Original() const { return original_; }

    std::unique_ptr<OpenedStore> Open() {
        const fs::path file = scratch_ / "edited.store";
        WriteFileBytes(file, image_);
        return std::make_unique<OpenedStore>(file, VariantOfStore(original_));
    }

  private:
    ScratchDir scratch_;
    fs::path original_;
    Image image_;
};

// Where a node's record lies in the node B-tree's leaf pages, and how wide its fields are.
struct NodeRecordPlace {
    std::uint64_t offset = 0;
    std::size_t idWidth = 0;
};

template <typename V>
std::map<std::uint32_t, NodeRecordPlace> NodeRecordsOf(const fs::path& store) {
    auto database = OpenStore<V>(store);
    constexpr std::size_t kRecordSize = V::kIdWidth == 4 ? 16 : 32;
    std::map<std::uint32_t, NodeRecordPlace> places;
    for (const PagePlace& page : LayoutOf(*database).pages) {
        if (!page.nodeTree) continue;
        for (std::size_t i = 0; i < page.leafKeys.size(); ++i) {
            places.emplace(static_cast<std::uint32_t>(page.leafKeys[i]),
                           NodeRecordPlace{page.ib + i * kRecordSize, V::kIdWidth});
        }
    }
    return places;
}

// Every node record of the store by NID.
std::map<std::uint32_t, NodeRecordPlace> NodeRecords(const fs::path& store) {
    switch (VariantOfStore(store)) {
        case StoreVariant::kAnsi:
            return NodeRecordsOf<corvex::AnsiTraits>(store);
        case StoreVariant::kUnicode4K:
            return NodeRecordsOf<corvex::Unicode4KTraits>(store);
        default:
            return NodeRecordsOf<corvex::UnicodeTraits>(store);
    }
}

std::optional<NodeRecordPlace> NodeRecord(const fs::path& store, std::uint32_t nid) {
    const auto places = NodeRecords(store);
    const auto found = places.find(nid);
    return found != places.end() ? std::optional(found->second) : std::nullopt;
}

void SetNid(Image& image, const NodeRecordPlace& place, std::uint32_t nid) {
    common::StoreLE32(&image[place.offset], nid);
}

void SetParent(Image& image, const NodeRecordPlace& place, std::uint32_t parent) {
    common::StoreLE32(&image[place.offset + 3 * place.idWidth], parent);
}

std::uint32_t StoredNid(const Image& image, const NodeRecordPlace& place) {
    return common::LoadLE<std::uint32_t>(common::Bytes(image), place.offset);
}

// The top folder's child folders of a store, by name.
struct TopFolders {
    std::uint32_t top = 0;
    std::map<std::string, std::uint32_t> children;
};

TopFolders TopFoldersOf(const fs::path& store, const std::string& topName) {
    OpenedStore opened(store);
    TopFolders out;
    FolderEntry* top = FindFolderByName(opened.AllFolders(), topName);
    if (top == nullptr) return out;
    out.top = top->nidLow;
    for (std::uint32_t i = 0; i < top->children->count; ++i) {
        out.children[FolderDisplayName(*top->children->items[i])] = top->children->items[i]->nidLow;
    }
    return out;
}

// No NID repeats on any path from the top of the tree down.
bool NoNidRepeatsOnAPath(const FolderList& list, std::unordered_set<std::uint32_t>& path) {
    for (std::uint32_t i = 0; i < list.count; ++i) {
        const FolderEntry& entry = *list.items[i];
        if (!path.insert(entry.nidLow).second) return false;
        const bool ok = NoNidRepeatsOnAPath(*entry.children, path);
        path.erase(entry.nidLow);
        if (!ok) return false;
    }
    return true;
}

std::set<std::string> PathsBelowTop(OpenedStore& store, const std::string& topName) {
    std::set<std::string> paths;
    FolderEntry* top = FindFolderByName(store.AllFolders(), topName);
    if (top == nullptr) return paths;
    for (const WalkedFolder& folder : FoldersBelow(*top)) paths.insert(folder.path);
    return paths;
}

void ExpectExportInside(OpenedStore& store, std::uint32_t nid) {
    ScratchDir scratch;
    const fs::path target = scratch / "target";
    fs::create_directories(target);
    store.Calls().saveFolderHierarchy(nid, 0, U16(target).c_str(), store.Handle());
    EXPECT_EQ(EntryNames(scratch.Path()), std::set<std::string>{"target"});
    for (const std::string& relative : RelativeTree(target))
        EXPECT_TRUE(LiesInside(target / relative, target)) << relative;
}

// The folders a child-folder enumeration lists below a folder of the given NID.
std::vector<std::uint32_t> ChildNids(OpenedStore& store, std::uint32_t nid) {
    FolderList* list = corvex::NewFolderList();
    corvex::AppendToList(*list, corvex::NewFolderEntry(nid, corvex::NewPropMap()));
    store.Calls().enumChildFolder(list->items[0], store.Handle());
    std::vector<std::uint32_t> nids;
    const FolderList& children = *list->items[0]->children;
    for (std::uint32_t i = 0; i < children.count; ++i) nids.push_back(children.items[i]->nidLow);
    corvex::FreeFolderList(list, nullptr);
    return nids;
}

struct LoopCase {
    const char* store;
    const char* top;
    const char* a;  // two sibling folders below the top folder
    const char* b;
    const char* c;  // a third one, whose record is turned into a second record of `a`
};

void PrintTo(const LoopCase& c, std::ostream* os) {
    *os << c.store;
}

const LoopCase kLoopCases[] = {
    {"ansi-many-items.pst", "Top of Personal Folders", "Calendar", "Journal", "Notes"},
    {"unicode-user1.pst", "Top of Outlook data file", "Inbox", "FolderWithTwoSubFolders",
     "Junk E-mail"},
    {"ost4k/unicode-flags.ost", "Top of Outlook data file", "Inbox", "Sent Items", "Junk E-mail"},
};

class ParentLoops : public ::testing::TestWithParam<LoopCase> {
  protected:
    void SetUp() override {
        VELMORA_REQUIRE_CORPUS();
        store_ = std::make_unique<EditedStore>(GetParam().store);
        folders_ = TopFoldersOf(store_->Original(), GetParam().top);
        for (const char* name : {GetParam().a, GetParam().b, GetParam().c}) {
            ASSERT_TRUE(folders_.children.contains(name)) << name;
            const auto place = NodeRecord(store_->Original(), folders_.children[name]);
            ASSERT_TRUE(place.has_value()) << name;
            ASSERT_EQ(StoredNid(store_->Bytes(), *place), folders_.children[name]);
            places_.push_back(*place);
        }
        OpenedStore original(store_->Original());
        before_ = PathsBelowTop(original, GetParam().top);
    }

    std::uint32_t Nid(const char* name) { return folders_.children[name]; }

    // Opens the edited copy, walks every folder and checks that no path repeats a folder.
    std::unique_ptr<OpenedStore> OpenAndWalk() {
        auto opened = store_->Open();
        std::unordered_set<std::uint32_t> path;
        EXPECT_TRUE(NoNidRepeatsOnAPath(opened->AllFolders(), path));
        // The loops all pass through a; its export ends and stays inside the target.
        ExpectExportInside(*opened, Nid(GetParam().a));
        return opened;
    }

    std::set<std::string> Without(std::initializer_list<std::string> names) const {
        std::set<std::string> out;
        for (const std::string& path : before_) {
            const std::string first = path.substr(0, path.find('/'));
            if (std::find(names.begin(), names.end(), first) == names.end()) out.insert(path);
        }
        return out;
    }

    std::unique_ptr<EditedStore> store_;
    TopFolders folders_;
    std::vector<NodeRecordPlace> places_;  // records of a, b and c
    std::set<std::string> before_;
};

TEST_P(ParentLoops, FolderFiledUnderItselfLeavesTheTreeAndEndsEveryWalk) {
    SetParent(store_->Bytes(), places_[0], Nid(GetParam().a));
    auto opened = OpenAndWalk();
    EXPECT_EQ(PathsBelowTop(*opened, GetParam().top), Without({GetParam().a}));
    EXPECT_TRUE(ChildNids(*opened, Nid(GetParam().a)).empty());
}

TEST_P(ParentLoops, TwoFoldersFiledUnderEachOtherEndEveryWalk) {
    SetParent(store_->Bytes(), places_[0], Nid(GetParam().b));
    SetParent(store_->Bytes(), places_[1], Nid(GetParam().a));
    auto opened = OpenAndWalk();
    EXPECT_EQ(PathsBelowTop(*opened, GetParam().top), Without({GetParam().a, GetParam().b}));
    // One level at a time, as the viewer expands its tree, each call ends.
    EXPECT_EQ(ChildNids(*opened, Nid(GetParam().a)), std::vector<std::uint32_t>{Nid(GetParam().b)});
    const std::vector<std::uint32_t> belowB = ChildNids(*opened, Nid(GetParam().b));
    EXPECT_EQ(std::count(belowB.begin(), belowB.end(), Nid(GetParam().a)), 1);
}

TEST_P(ParentLoops, SecondRecordOfAFolderFiledUnderItselfIsLeftOut) {
    // Record c now claims a's NID and a as its parent: a loop reachable from the top.
    SetNid(store_->Bytes(), places_[2], Nid(GetParam().a));
    SetParent(store_->Bytes(), places_[2], Nid(GetParam().a));
    auto opened = OpenAndWalk();
    EXPECT_EQ(PathsBelowTop(*opened, GetParam().top), Without({GetParam().c}));
}

TEST_P(ParentLoops, LoopThroughADescendantIsLeftOutWhereItWouldRepeatThePath) {
    // top -> a -> b -> (second record of a) -> ...
    SetParent(store_->Bytes(), places_[1], Nid(GetParam().a));
    SetNid(store_->Bytes(), places_[2], Nid(GetParam().a));
    SetParent(store_->Bytes(), places_[2], Nid(GetParam().b));
    auto opened = OpenAndWalk();
    const std::set<std::string> paths = PathsBelowTop(*opened, GetParam().top);
    EXPECT_TRUE(paths.contains(std::string(GetParam().a) + "/" + GetParam().b));
    EXPECT_FALSE(paths.contains(GetParam().c));
}

INSTANTIATE_TEST_SUITE_P(Stores, ParentLoops, ::testing::ValuesIn(kLoopCases),
                         [](const auto& info) { return TestNameOf(info.param.store); });

// Display names that try to reach outside the target, written over the name of
// a folder in an unencoded store. A name shorter than the original ends at a
// NUL, as the name text does.
struct NameCase {
    const char* label;
    std::u16string name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.label;
}

const NameCase kHostileNames[] = {
    {"dot", u"."},
    {"dotdot", u".."},
    {"dots", u"............."},
    {"climbing", u"a/../../b"},
    {"backslashes", u"..\\..\\x"},
    {"absolute", u"/etc/passwd"},
    {"control", u"\x01\x02\x1F\x7F\x09x"},
    {"blank", u"   "},
};

struct NamedStore {
    const char* store;
    const char* top;
    const char* folder;
};

const NamedStore kUnencodedStores[] = {
    {"unicode-plain.pst", "Top of Personal Folders", "Deleted Items"},
    {"ost4k/unicode-plain.plain.ost", "Top of Personal Folders", "Deleted Items"},
};

Image Utf16Le(std::u16string_view text) {
    Image bytes;
    for (const char16_t c : text)
        bytes.insert(bytes.end(),
                     {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>(c >> 8)});
    return bytes;
}

// Where the data block of a node lies in the file (unencoded, uncompressed stores only).
// Files all but the first message of a folder under NID 0, so that an export of
// the folder stays quick. Returns how many stay.
template <typename V>
std::size_t KeepFirstMessage(Image& image, const fs::path& store, std::uint32_t folder) {
    auto database = OpenStore<V>(store);
    const auto records = NodeRecords(store);
    const auto messages = database->Walker().messageChildren.EqualRange(folder);
    for (std::size_t i = 1; i < messages.size(); ++i)
        SetParent(image, records.at(messages[i].second->Nid()), 0);
    return std::min<std::size_t>(messages.size(), 1);
}

template <typename V>
std::pair<std::uint64_t, std::uint64_t> DataBlockOf(const fs::path& store, std::uint32_t nid) {
    auto database = OpenStore<V>(store);
    const corvex::NbtEntry* node = database->Walker().FindNode(nid);
    const auto* block = node != nullptr ? database->Reader().Lookup(node->bidData) : nullptr;
    if (block == nullptr) return {0, 0};
    return {block->ib, block->ib + block->cb};
}

std::pair<std::uint64_t, std::uint64_t> DataBlock(const fs::path& store, std::uint32_t nid) {
    return VariantOfStore(store) == StoreVariant::kUnicode4K
               ? DataBlockOf<corvex::Unicode4KTraits>(store, nid)
               : DataBlockOf<corvex::UnicodeTraits>(store, nid);
}

// Replaces every occurrence of `from` in the node's data block (its display
// name and any other property holding the same text) by `to`, padded with NULs.
bool ReplaceName(Image& image, const fs::path& store, std::uint32_t nid, std::u16string_view from,
                 std::u16string_view to) {
    const auto [begin, end] = DataBlock(store, nid);
    if (end == 0 || end > image.size() || to.size() > from.size()) return false;
    const auto last = image.begin() + static_cast<std::ptrdiff_t>(end);
    const Image needle = Utf16Le(from);
    Image replacement = Utf16Le(to);
    replacement.resize(needle.size(), 0);
    bool replaced = false;
    for (auto at = std::search(image.begin() + static_cast<std::ptrdiff_t>(begin), last,
                               needle.begin(), needle.end());
         at != last; at = std::search(at + 1, last, needle.begin(), needle.end())) {
        std::copy(replacement.begin(), replacement.end(), at);
        replaced = true;
    }
    return replaced;
}

class HostileFolderNames : public ::testing::TestWithParam<std::tuple<NamedStore, NameCase>> {};

TEST_P(HostileFolderNames, ExportStaysInsideTheTarget) {
    VELMORA_REQUIRE_CORPUS();
    const auto& [named, hostile] = GetParam();
    EditedStore store(named.store);
    const TopFolders folders = TopFoldersOf(store.Original(), named.top);
    ASSERT_TRUE(folders.children.contains(named.folder));
    const std::uint32_t nid = folders.children.at(named.folder);
    ASSERT_TRUE(ReplaceName(store.Bytes(), store.Original(), nid, common::Utf8ToUtf16(named.folder),
                            hostile.name));
    const std::size_t messages =
        VariantOfStore(store.Original()) == StoreVariant::kUnicode4K
            ? KeepFirstMessage<corvex::Unicode4KTraits>(store.Bytes(), store.Original(), nid)
            : KeepFirstMessage<corvex::UnicodeTraits>(store.Bytes(), store.Original(), nid);
    auto opened = store.Open();
    FolderEntry* top = FindFolderByName(opened->AllFolders(), named.top);
    ASSERT_NE(top, nullptr);
    const std::u16string safe = corvex::SafeName(hostile.name, false);

    ScratchDir scratch;
    const fs::path target = scratch / "target";
    fs::create_directories(target);
    opened->Calls().saveFolderHierarchy(top->nidLow, top->nidHigh, U16(target).c_str(),
                                        opened->Handle());
    EXPECT_EQ(EntryNames(scratch.Path()), std::set<std::string>{"target"});
    for (const std::string& relative : RelativeTree(target))
        EXPECT_TRUE(LiesInside(target / relative, target)) << relative;

    // A name that comes out empty is left out with everything below it.
    EXPECT_EQ(top->children->count, safe.empty() ? 0u : 1u);
    if (safe.empty()) {
        EXPECT_TRUE(EntryNames(target).empty());
        return;
    }
    const fs::path folder = target / common::PathFromUtf16(safe);
    EXPECT_EQ(EntryNames(target), std::set<std::string>{folder.filename().string()});
    EXPECT_TRUE(fs::is_regular_file(folder / "FolderProp.csv"));
    std::size_t messageDirectories = 0;
    for (const std::string& entry : EntryNames(folder))
        messageDirectories += fs::is_directory(folder / entry);
    EXPECT_EQ(messageDirectories, messages);
}

INSTANTIATE_TEST_SUITE_P(Names, HostileFolderNames,
                         ::testing::Combine(::testing::ValuesIn(kUnencodedStores),
                                            ::testing::ValuesIn(kHostileNames)),
                         [](const auto& info) {
                             return TestNameOf(std::get<0>(info.param).store) + "_" +
                                    std::get<1>(info.param).label;
                         });

}  // namespace
}  // namespace velmora::test
