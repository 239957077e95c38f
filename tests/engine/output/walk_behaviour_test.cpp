// How the exports behave around the walks: slices of a folder's messages,
// repeated enumerations, continuation in batches, the stop word set before a
// call or from another thread while it runs, and two handles of one library.
#include <gtest/gtest.h>

#include <chrono>
#include <latch>
#include <set>
#include <thread>

#include "tests/engine/output/export_reader.h"
#include "tests/engine/output/walk_support.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t kSubject = 0x0037;

struct FolderCase {
    const char* store;
    const char* folder;  // path below the root folder
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.store << " " << c.folder;
}

const FolderCase kBigFolders[] = {
    {"ansi-many-items.pst", "Top of Personal Folders/Inbox"},
    {"unicode-cyclic.pst", "Top of Personal Folders/Deleted Items"},
    {"ost4k/unicode-plain.ost", "Top of Personal Folders/Deleted Items"},
};

FolderEntry* FolderAt(OpenedStore& store, const std::string& path) {
    FolderList& roots = store.AllFolders();
    for (std::uint32_t i = 0; i < roots.count; ++i) {
        const std::string top = FolderDisplayName(*roots.items[i]);
        if (path == top) return roots.items[i];
        for (const WalkedFolder& folder : FoldersBelow(*roots.items[i])) {
            if (top + "/" + folder.path == path) return folder.entry;
        }
    }
    return nullptr;
}

// What tells two messages of one folder apart well enough to follow their order.
std::string Signature(const MailEntry& mail) {
    return PropText(mail.props, kSubject) + "|" + std::to_string(mail.props->count) + "|" +
           std::to_string(mail.attachments->count) + "|" + std::to_string(mail.recipients->count);
}

std::vector<std::string> Signatures(const FolderEntry& folder) {
    std::vector<std::string> out;
    for (const MailEntry* mail : MailsOf(folder)) out.push_back(Signature(*mail));
    return out;
}

std::vector<std::string> Enumerate(OpenedStore& store, FolderEntry& folder, std::uint32_t first,
                                   std::uint32_t maximum) {
    store.Calls().enumChildMails(&folder, store.Handle(), first, maximum);
    return Signatures(folder);
}

class FolderBehaviour : public ::testing::TestWithParam<FolderCase> {
  protected:
    void SetUp() override {
        VELMORA_REQUIRE_CORPUS();
        store_ = std::make_unique<OpenedStore>(CorpusFile(GetParam().store));
        folder_ = FolderAt(*store_, GetParam().folder);
        ASSERT_NE(folder_, nullptr);
        all_ = Enumerate(*store_, *folder_, 0, 0);
        ASSERT_GT(all_.size(), 10u);
    }

    std::unique_ptr<OpenedStore> store_;
    FolderEntry* folder_ = nullptr;
    std::vector<std::string> all_;
};

TEST_P(FolderBehaviour, FirstIndexAtOrBeyondTheEndGivesAnEmptyList) {
    const auto count = static_cast<std::uint32_t>(all_.size());
    for (const auto& [first, maximum] :
         {std::pair{count, 0u}, {count, 5u}, {count + 1, 0u}, {0xFFFFFFFFu, 1u}}) {
        EXPECT_TRUE(Enumerate(*store_, *folder_, first, maximum).empty())
            << first << " " << maximum;
    }
}

TEST_P(FolderBehaviour, SlicesCoverTheFolderExactlyInOrder) {
    for (const std::uint32_t size : {1u, 64u}) {
        std::vector<std::string> joined;
        for (std::uint32_t first = 0; first < all_.size(); first += size) {
            const std::vector<std::string> slice = Enumerate(*store_, *folder_, first, size);
            EXPECT_EQ(slice.size(), std::min<std::size_t>(size, all_.size() - first)) << first;
            joined.insert(joined.end(), slice.begin(), slice.end());
        }
        EXPECT_EQ(joined, all_) << "slices of " << size;
    }
}

TEST_P(FolderBehaviour, ContinuationAppendsBatchesFromTheCursorToTheEnd) {
    for (const std::uint32_t batch : {1u, 13u, 1000u}) {
        // An enumeration empties the list and drops the cursor of an earlier continuation.
        store_->Calls().enumChildMails(folder_, store_->Handle(), all_.size(), 0);
        ASSERT_EQ(folder_->mails->cursor, nullptr);
        folder_->mails->batchCount = batch;
        for (std::size_t before = 0; before < all_.size(); before = folder_->mails->entries.count) {
            store_->Calls().enumChildMailsNext(folder_, store_->Handle());
            EXPECT_EQ(folder_->mails->entries.count - before,
                      std::min<std::size_t>(batch, all_.size() - before));
            EXPECT_EQ(folder_->mails->lastBatchCount, batch);
        }
        store_->Calls().enumChildMailsNext(folder_, store_->Handle());
        EXPECT_EQ(Signatures(*folder_), all_) << "batches of " << batch;
    }
}

TEST_P(FolderBehaviour, BatchCountZeroAppendsNothing) {
    Enumerate(*store_, *folder_, all_.size(), 0);
    folder_->mails->batchCount = 0;
    store_->Calls().enumChildMailsNext(folder_, store_->Handle());
    EXPECT_EQ(folder_->mails->entries.count, 0u);
}

TEST_P(FolderBehaviour, StopWordBeforeACallGivesNothingAndZeroLetsLaterCallsWork) {
    ScratchDir target;
    store_->SetStopWord(CORVEX_STOP_STATE);
    EXPECT_TRUE(Enumerate(*store_, *folder_, 0, 0).empty());
    folder_->mails->batchCount = 5;
    store_->Calls().enumChildMailsNext(folder_, store_->Handle());
    EXPECT_EQ(folder_->mails->entries.count, 0u);
    const std::uint32_t roots = store_->Handle()->rootFolders->count;
    store_->Calls().enumRootFolder(store_->Handle());
    EXPECT_EQ(store_->Handle()->rootFolders->count, roots);
    store_->Calls().saveFolderHierarchy(folder_->nidLow, folder_->nidHigh,
                                        U16(target.Path()).c_str(), store_->Handle());
    EXPECT_TRUE(EntryNames(target.Path()).empty());

    store_->SetStopWord(0);
    EXPECT_EQ(Enumerate(*store_, *folder_, 0, 0), all_);
    store_->Calls().enumRootFolder(store_->Handle());
    EXPECT_GT(store_->Handle()->rootFolders->count, roots);
}

INSTANTIATE_TEST_SUITE_P(Stores, FolderBehaviour, ::testing::ValuesIn(kBigFolders),
                         [](const auto& info) { return TestNameOf(info.param.store); });

TEST(MailEnumeration, SecondPassReplacesTheListAndTheFirstPassesValueFiles) {
    VELMORA_REQUIRE_CORPUS();
    OpenedStore store(CorpusFile("unicode-plain.pst"));
    FolderEntry* folder = FolderAt(store, "Top of Personal Folders/Deleted Items");
    ASSERT_NE(folder, nullptr);
    const std::size_t before = FilesIn(store.ValueFileFolder());
    store.Calls().enumChildMails(folder, store.Handle(), 0, 0);
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before) << "values are written when read";
    ReadValueFilesOf(*folder);
    const std::vector<std::string> firstSignatures = Signatures(*folder);
    const std::vector<fs::path> first = ValueFilesOf(*folder);
    std::vector<std::uintmax_t> firstSizes;
    for (const fs::path& file : first) firstSizes.push_back(fs::file_size(file));
    store.Calls().enumChildMails(folder, store.Handle(), 0, 0);
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before);
    ReadValueFilesOf(*folder);
    const std::vector<fs::path> second = ValueFilesOf(*folder);

    EXPECT_EQ(Signatures(*folder), firstSignatures);
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(FilesIn(store.ValueFileFolder()), before + second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_NE(first[i], second[i]);
        EXPECT_FALSE(fs::exists(first[i])) << "the first pass's files go with its records";
        EXPECT_EQ(fs::file_size(second[i]), firstSizes[i]);
        EXPECT_EQ(second[i].parent_path(), store.ValueFileFolder());
    }
}

TEST(FolderEnumeration, RootEnumerationTwiceAppendsTheRootFoldersTwice) {
    VELMORA_REQUIRE_CORPUS();
    OpenedStore store(CorpusFile("unicode-user1.pst"));
    store.Calls().enumRootFolder(store.Handle());
    const std::uint32_t once = store.Handle()->rootFolders->count;
    store.Calls().enumRootFolder(store.Handle());
    const FolderList& roots = *store.Handle()->rootFolders;
    ASSERT_GT(once, 1u);
    ASSERT_EQ(roots.count, 2 * once);
    for (std::uint32_t i = 0; i < once; ++i) {
        EXPECT_NE(roots.items[i], roots.items[once + i]);
        EXPECT_EQ(roots.items[i]->nidLow, roots.items[once + i]->nidLow);
        EXPECT_EQ(roots.items[i + once]->children->count, 0u)
            << "the root enumeration does not descend";
    }
}

TEST(TwoHandles, DeletingTheFirstLeavesTheSecondsRecordsAndValueFiles) {
    VELMORA_REQUIRE_CORPUS();
    auto first = std::make_unique<OpenedStore>(CorpusFile("unicode-cyclic.pst"));
    OpenedStore second(CorpusFile("unicode-plain.pst"));
    first->AllFolders();
    std::vector<std::string> paths;
    for (const WalkedFolder& folder : FoldersBelow(*FolderAt(second, "Top of Personal Folders")))
        paths.push_back(folder.path);
    first.reset();

    FolderEntry* top = FolderAt(second, "Top of Personal Folders");
    ASSERT_NE(top, nullptr);
    std::vector<std::string> after;
    for (const WalkedFolder& folder : FoldersBelow(*top)) after.push_back(folder.path);
    EXPECT_EQ(after, paths);
    FolderEntry* deleted = FolderAt(second, "Top of Personal Folders/Deleted Items");
    second.Calls().enumChildMails(deleted, second.Handle(), 0, 0);
    EXPECT_EQ(deleted->mails->entries.count, 20u);
    ReadValueFilesOf(*deleted);
    const std::vector<fs::path> files = ValueFilesOf(*deleted);
    ASSERT_FALSE(files.empty());
    for (const fs::path& file : files) {
        EXPECT_EQ(file.parent_path(), second.ValueFileFolder());
        EXPECT_TRUE(fs::is_regular_file(file)) << file;
    }
    EXPECT_FALSE(fs::exists("/GUIDTempFiles"));
}

// Sets the stop word from another thread once `ready` says the walk has begun
// producing, and waits for the walk to end.
class StopFromAnotherThread {
  public:
    StopFromAnotherThread(OpenedStore& store, std::function<bool()> ready)
        : thread_([&store, ready = std::move(ready), this] {
              started_.arrive_and_wait();
              while (!ready()) std::this_thread::yield();
              store.SetStopWord(CORVEX_STOP_STATE);
          }) {
        started_.arrive_and_wait();
    }
    ~StopFromAnotherThread() { thread_.join(); }

  private:
    std::latch started_{2};
    std::thread thread_;
};

// True when each list of the partial tree is a prefix of the same list of the
// full tree, in the same order and with the same properties.
bool IsPrefixTree(const FolderList& partial, const FolderList& full) {
    if (partial.count > full.count) return false;
    for (std::uint32_t i = 0; i < partial.count; ++i) {
        const FolderEntry& p = *partial.items[i];
        const FolderEntry& f = *full.items[i];
        if (p.nidLow != f.nidLow || p.props->count != f.props->count ||
            !IsPrefixTree(*p.children, *f.children))
            return false;
    }
    return true;
}

std::size_t TreeSize(const FolderList& list) {
    std::size_t size = list.count;
    for (std::uint32_t i = 0; i < list.count; ++i) size += TreeSize(*list.items[i]->children);
    return size;
}

constexpr int kStopAttempts = 50;
const char* kLargestStore = "unicode-cyclic.pst";

TEST(StopFromAnotherThread, EndsTheAllFoldersWalkWithWhatItAppendedIntact) {
    VELMORA_REQUIRE_CORPUS();
    OpenedStore reference(CorpusFile(kLargestStore));
    const FolderList& full = reference.AllFolders();
    int earlyStops = 0;
    for (int attempt = 0; attempt < kStopAttempts; ++attempt) {
        OpenedStore store(CorpusFile(kLargestStore));
        {
            StopFromAnotherThread stopper(store, [] { return true; });
            store.Calls().enumAllFolders(store.Handle());
        }
        ASSERT_TRUE(IsPrefixTree(*store.Handle()->rootFolders, full));
        earlyStops += TreeSize(*store.Handle()->rootFolders) < TreeSize(full);
    }
    std::cout << "[ stop     ] all folders: " << earlyStops << " of " << kStopAttempts
              << " runs ended early\n";
}

TEST(StopFromAnotherThread, EndsTheMessageWalkWithWhatItAppendedIntact) {
    VELMORA_REQUIRE_CORPUS();
    OpenedStore store(CorpusFile(kLargestStore));
    FolderEntry* folder = FolderAt(store, "Top of Personal Folders/Deleted Items");
    ASSERT_NE(folder, nullptr);
    const std::vector<std::string> all = Enumerate(store, *folder, 0, 0);
    ReadValueFilesOf(*folder);
    bool stoppedEarly = false;
    for (int attempt = 0; attempt < kStopAttempts && !stoppedEarly; ++attempt) {
        store.SetStopWord(0);
        // The former run's files go with its records when this one starts.
        const std::size_t before = FilesIn(store.ValueFileFolder()) - ValueFilesOf(*folder).size();
        {
            // A stop a little later on every attempt: some attempt falls within the walk.
            const auto start = std::chrono::steady_clock::now();
            const auto delay = std::chrono::microseconds(attempt * 200);
            StopFromAnotherThread stopper(
                store, [&] { return std::chrono::steady_clock::now() - start >= delay; });
            store.Calls().enumChildMails(folder, store.Handle(), 0, 0);
        }
        // The walk wrote no file, and the values of the records it kept read back.
        EXPECT_EQ(FilesIn(store.ValueFileFolder()), before);
        const std::vector<std::string> partial = Signatures(*folder);
        ASSERT_LE(partial.size(), all.size());
        EXPECT_TRUE(std::equal(partial.begin(), partial.end(), all.begin()));
        ReadValueFilesOf(*folder);
        for (const fs::path& file : ValueFilesOf(*folder))
            EXPECT_TRUE(fs::is_regular_file(file)) << file;
        EXPECT_EQ(FilesIn(store.ValueFileFolder()), before + ValueFilesOf(*folder).size());
        stoppedEarly = partial.size() < all.size();
    }
    EXPECT_TRUE(stoppedEarly) << "no run was seen to end early";
}

TEST(StopFromAnotherThread, EndsTheFolderExportWithTheMessagesWrittenSoFarComplete) {
    VELMORA_REQUIRE_CORPUS();
    OpenedStore store(CorpusFile(kLargestStore));
    FolderEntry* folder = FolderAt(store, "Top of Personal Folders/Deleted Items");
    ASSERT_NE(folder, nullptr);
    ScratchDir fullTarget;
    store.Calls().saveFolderHierarchy(folder->nidLow, folder->nidHigh,
                                      U16(fullTarget.Path()).c_str(), store.Handle());
    const std::set<std::string> fullMessages = EntryNames(fullTarget.Path());
    bool stoppedEarly = false;
    for (int attempt = 0; attempt < kStopAttempts && !stoppedEarly; ++attempt) {
        store.SetStopWord(0);
        ScratchDir target;
        {
            StopFromAnotherThread stopper(store,
                                          [&] { return !EntryNames(target.Path()).empty(); });
            store.Calls().saveFolderHierarchy(folder->nidLow, folder->nidHigh,
                                              U16(target.Path()).c_str(), store.Handle());
        }
        const std::set<std::string> written = EntryNames(target.Path());
        for (const std::string& message : written) {
            ASSERT_TRUE(fullMessages.contains(message)) << message;
            EXPECT_EQ(RelativeTree(target / message), RelativeTree(fullTarget / message))
                << message;
        }
        stoppedEarly = written.size() < fullMessages.size();
    }
    EXPECT_TRUE(stoppedEarly) << "no run was seen to end early";
}

}  // namespace
}  // namespace velmora::test
