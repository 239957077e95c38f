#include "viewer/data/search_index/index_builder.h"

#include <xapian.h>

#include <algorithm>
#include <vector>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/search_index/index_terms.h"
#include "viewer/data/search_index/message_document.h"

namespace velmora::search {
namespace {

// The index's own records, kept as metadata so that each commit takes them
// along with the documents they describe.
constexpr char kStampKey[] = "velmora:stamp";
constexpr char kCompleteKey[] = "velmora:complete";
constexpr char kUnreadableKey[] = "velmora:unreadable";
// Followed by a folder's NID: how many of its messages, from the first, are done.
constexpr char kFolderDoneKey[] = "velmora:folder:";

// Folder trees deeper than this are not walked further.
constexpr int kMaxFolderDepth = 64;

struct IndexedFolder {
    FolderEntry* folder;
    std::string path;
};

void CollectFolders(const FolderList* list, const std::string& prefix, int depth,
                    std::vector<IndexedFolder>& out) {
    if (list == nullptr || depth > kMaxFolderDepth) return;
    for (std::uint32_t i = 0; i < list->count; ++i) {
        FolderEntry* folder = list->items[i];
        if (folder == nullptr) continue;
        const std::string name = common::Utf16ToUtf8(FolderName(folder));
        const std::string path = prefix.empty() ? name : prefix + "/" + name;
        out.push_back({folder, path});
        CollectFolders(folder->children, path, depth + 1, out);
    }
}

std::uint64_t MetadataNumber(const Xapian::Database& db, const std::string& key) {
    const std::string text = db.get_metadata(key);
    return text.empty() ? 0 : std::stoull(text);
}

// One run of the builder over an open index.
class Run {
  public:
    Run(Xapian::WritableDatabase& db, CPFFDataParserInterFace& binding, const IndexOptions& options)
        : db_(db),
          binding_(binding),
          options_(options),
          // A batch of 0 would ask the engine for the whole folder, again and again.
          batchSize_(std::max<std::uint32_t>(options.batchSize, 1)) {}

    IndexOutcome Index(const std::vector<IndexedFolder>& folders) {
        progress_.total = 0;
        for (const IndexedFolder& folder : folders) progress_.total += Count(folder.folder);
        progress_.done = db_.get_doccount();
        unreadable_ = MetadataNumber(db_, kUnreadableKey);
        bool complete = true;
        for (const IndexedFolder& folder : folders) {
            if (!IndexFolder(folder)) {
                complete = false;
                break;
            }
        }
        if (complete) db_.set_metadata(kCompleteKey, "1");
        db_.commit();
        return {complete, db_.get_doccount(), unreadable_, {}};
    }

  private:
    std::uint64_t Count(FolderEntry* folder) const {
        if (options_.messageCount) return options_.messageCount(folder);
        return static_cast<std::uint32_t>(PropInt(folder->props, common::prop::kContentCount));
    }

    bool Stopped() const { return options_.stopRequested && options_.stopRequested(); }

    // False when stopped before the folder's end.
    bool IndexFolder(const IndexedFolder& folder) {
        const std::string doneKey = kFolderDoneKey + std::to_string(folder.folder->nidLow);
        const std::string doneText = db_.get_metadata(doneKey);
        if (doneText == "all") return true;
        std::uint32_t first =
            doneText.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(doneText));
        for (;;) {
            if (Stopped()) return false;
            const std::uint32_t read = IndexBatch(folder, first);
            first += read;
            // A short batch after a stop is where the walk stopped, not where the
            // folder ends: the folder stays unfinished, to be resumed.
            const bool cutShort = read < batchSize_ && Stopped();
            if (read < batchSize_ && !cutShort) break;
            db_.set_metadata(doneKey, std::to_string(first));
            db_.set_metadata(kUnreadableKey, std::to_string(unreadable_));
            CommitWhenDue(read);
            if (cutShort) return false;
        }
        // Messages the folder holds that the enumeration did not hand out could not be read.
        const std::uint64_t expected = Count(folder.folder);
        if (expected > first) unreadable_ += expected - first;
        db_.set_metadata(kUnreadableKey, std::to_string(unreadable_));
        db_.set_metadata(doneKey, "all");
        ReleaseRecords(folder.folder);
        return true;
    }

    // Indexes messages [first, first + batch) of the folder; returns how many
    // the enumeration handed out.
    std::uint32_t IndexBatch(const IndexedFolder& folder, std::uint32_t first) {
        OpenStatus status{};
        status.code = 1;
        binding_.EnumChildMailsRange(folder.folder, &status, first, batchSize_);
        const MailList* mails = folder.folder->mails;
        if (mails == nullptr) return 0;
        const MailEntryList& entries = mails->entries;
        for (std::uint32_t i = 0; i < entries.count; ++i) {
            const MailEntry* mail = entries.items[i];
            if (mail == nullptr || IsUnreadable(*mail)) {
                ++unreadable_;
                continue;
            }
            const MessagePlace place{folder.folder->nidLow, first + i, folder.path};
            const Xapian::Document document = MessageDocument(*mail, place);
            db_.replace_document(MessageKeyTerm(place.folderNid, place.position), document);
        }
        progress_.done = db_.get_doccount();
        if (options_.progress && entries.count > 0) options_.progress(progress_);
        return entries.count;
    }

    void CommitWhenDue(std::uint32_t added) {
        sinceCommit_ += added;
        if (sinceCommit_ < options_.commitEvery) return;
        db_.commit();
        sinceCommit_ = 0;
    }

    // Empties the folder's message list: the records and their value files go now.
    void ReleaseRecords(FolderEntry* folder) {
        OpenStatus status{};
        status.code = 1;
        binding_.EnumChildMailsRange(folder, &status, UINT32_MAX, 1);
    }

    Xapian::WritableDatabase& db_;
    CPFFDataParserInterFace& binding_;
    const IndexOptions& options_;
    const std::uint32_t batchSize_;
    IndexProgress progress_;
    std::uint64_t unreadable_ = 0;
    std::uint32_t sinceCommit_ = 0;
};

// Removes what the folder holds: the files of an index that is to be made anew.
void EmptyFolder(const std::filesystem::path& folder) {
    std::error_code failure;
    for (auto it = std::filesystem::directory_iterator(folder, failure);
         !failure && it != std::filesystem::directory_iterator(); it.increment(failure)) {
        std::filesystem::remove_all(it->path(), failure);
    }
}

// The index for the store: the one already there when it was built from this
// very store, else a new one in its place. An index that cannot be read (a
// disk that filled, a file cut short) is made anew too; one that another run
// is writing is left to it.
Xapian::WritableDatabase OpenForStamp(const std::filesystem::path& folder,
                                      const std::string& stamp) {
    try {
        Xapian::WritableDatabase db(folder.string(), Xapian::DB_CREATE_OR_OPEN);
        if (db.get_metadata(kStampKey) == stamp) return db;
    } catch (const Xapian::DatabaseLockError&) {
        throw;
    } catch (const Xapian::DatabaseError&) {
    }
    EmptyFolder(folder);
    Xapian::WritableDatabase fresh(folder.string(), Xapian::DB_CREATE_OR_OVERWRITE);
    fresh.set_metadata(kStampKey, stamp);
    fresh.commit();
    return fresh;
}

}  // namespace

bool IsIndexComplete(const std::filesystem::path& indexFolder, const StoreStamp& stamp) {
    std::error_code ignored;
    if (!std::filesystem::exists(indexFolder / "iamglass", ignored)) return false;
    try {
        const Xapian::Database db(indexFolder.string());
        return db.get_metadata(kStampKey) == StampText(stamp) &&
               db.get_metadata(kCompleteKey) == "1";
    } catch (const Xapian::Error&) {
        return false;
    }
}

IndexOutcome BuildIndex(const std::filesystem::path& indexFolder, const StoreStamp& stamp,
                        CPFFDataParserInterFace& binding, const IndexOptions& options) {
    try {
        Xapian::WritableDatabase db = OpenForStamp(indexFolder, StampText(stamp));
        if (db.get_metadata(kCompleteKey) == "1")
            return {true, db.get_doccount(), MetadataNumber(db, kUnreadableKey), {}};
        std::vector<IndexedFolder> folders;
        CollectFolders(RootFolders(binding.Handle()), "", 0, folders);
        return Run(db, binding, options).Index(folders);
    } catch (const Xapian::DatabaseLockError&) {
        return {false, 0, 0, "the search index of this store is being built by another run"};
    } catch (const Xapian::Error& error) {
        return {false, 0, 0,
                "cannot write the search index in " + indexFolder.string() + ": " +
                    error.get_description()};
    } catch (const std::exception& error) {
        return {false, 0, 0,
                "cannot write the search index in " + indexFolder.string() + ": " + error.what()};
    }
}

}  // namespace velmora::search
