#include "tools/velmora-cli/search_command.h"

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>

#include "common/path_text.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/mail_json.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/search_index/index_builder.h"
#include "viewer/data/search_index/index_location.h"
#include "viewer/data/search_index/index_search.h"
#include "viewer/data/search_index/query_parser.h"

namespace velmora::cli {
namespace {

// The store's index below the cache folder; nothing, reported, when there is none.
std::optional<std::filesystem::path> SharedIndexFolder(const search::StoreStamp& stamp) {
    std::string error;
    std::optional<std::filesystem::path> folder;
    if (const auto root = search::SearchIndexRoot(error))
        folder = search::StoreIndexFolder(*root, stamp, error);
    if (!folder) ReportFailure(error);
    return folder;
}

// The tool's own read of the store file, for the NIDs, when no engine session
// was needed because the index was up to date.
std::unique_ptr<StoreIndex> ReadStoreIndex(const std::filesystem::path& store) {
    std::uint16_t version = 0;
    OpenStatus status{};
    status.code = 1;
    if (!ReadStoreVersion(common::PathToUtf16(store), &version, &status)) return nullptr;
    std::string ignored;
    return StoreIndex::Open(store, version, ignored);
}

void ShowProgress(std::ostream& progress, const search::IndexProgress& step) {
    progress << "\rIndexing\u2026 " << step.done << " of " << step.total << " messages"
             << std::flush;
}

bool BuildOrReport(const SearchRequest& request, StoreSession& session,
                   const std::filesystem::path& folder, const search::StoreStamp& stamp,
                   std::ostream* progress) {
    search::IndexOptions options;
    options.messageCount = [&](FolderEntry* entry) { return session.MessageCount(entry); };
    if (progress != nullptr)
        options.progress = [progress](const search::IndexProgress& step) {
            ShowProgress(*progress, step);
        };
    const search::IndexOutcome outcome =
        search::BuildIndex(folder, stamp, session.Binding(), options);
    if (progress != nullptr) *progress << "\r\x1b[K" << std::flush;
    if (!outcome.error.empty()) {
        ReportFailure(outcome.error);
        return false;
    }
    // Messages the file's own node census holds that no folder handed out
    // could not be read either (a damaged folder, a lost table).
    constexpr std::uint32_t kNormalMessageType = 0x04;
    const StoreIndex* census = session.Index();
    const std::uint64_t stored =
        census != nullptr ? census->Census().nodesByType[kNormalMessageType] : 0;
    const std::uint64_t total = std::max(stored, outcome.indexed + outcome.unreadable);
    if (total > outcome.indexed)
        ReportFailure(request.store.string() + ": " + std::to_string(total - outcome.indexed) +
                      " of " + std::to_string(total) +
                      " messages could not be read and are not searched");
    return true;
}

// The NID of each hit, from the store index's list of the folder's messages.
class HitNids {
  public:
    explicit HitNids(const StoreIndex* index) : index_(index) {}
    std::uint32_t Of(const search::SearchHit& hit) {
        if (index_ == nullptr) return 0;
        auto found = folders_.find(hit.folderNid);
        if (found == folders_.end())
            found = folders_.emplace(hit.folderNid, index_->MessageNids(hit.folderNid)).first;
        return hit.position < found->second.size() ? found->second[hit.position] : 0;
    }

  private:
    const StoreIndex* index_;
    std::map<std::uint32_t, std::vector<std::uint32_t>> folders_;
};

std::string TimeText(std::uint64_t fileTime) {
    return fileTime != 0 ? IsoUtcTime(fileTime) : std::string();
}

void WriteLines(const std::vector<search::SearchHit>& hits, HitNids& nids, std::ostream& out) {
    for (const search::SearchHit& hit : hits) {
        out << LineField(hit.folderPath) << '\t' << TimeText(hit.submitTime) << '\t'
            << LineField(hit.sender) << '\t' << LineField(hit.subject) << '\t'
            << NidText(nids.Of(hit)) << '\n';
    }
}

void WriteJson(const std::vector<search::SearchHit>& hits, HitNids& nids, std::ostream& out) {
    Json array = Json::array();
    for (const search::SearchHit& hit : hits) {
        const std::string time = TimeText(hit.submitTime);
        array.push_back(Json{{"nid", nids.Of(hit)},
                             {"folder", hit.folderPath},
                             {"subject", hit.subject},
                             {"sender", hit.sender},
                             {"submit_time", time.empty() ? Json(nullptr) : Json(time)}});
    }
    out << array.dump(1, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace

int RunSearch(const SearchRequest& request, std::ostream& out, std::ostream* progress) {
    const search::ParsedQuery parsed = search::ParseQuery(request.query);
    if (!parsed.query) {
        ReportFailure("query: " + parsed.error);
        return 2;
    }
    std::string error;
    const std::optional<search::StoreStamp> stamp = search::ReadStoreStamp(request.store, error);
    if (!stamp) return ReportFailure(error);
    std::optional<std::filesystem::path> folder;
    if (!request.noCache && !(folder = SharedIndexFolder(*stamp))) return 1;
    // The store is read through the engine only when its index must be built:
    // with --no-cache the index is made in the session's own scratch folder,
    // which goes with the session.
    StoreSession session;
    std::unique_ptr<StoreIndex> ownIndex;
    if (request.noCache || !search::IsIndexComplete(*folder, *stamp)) {
        if (!OpenOrReport(session, request.store)) return 1;
        if (request.noCache) folder = session.ScratchFolder() / "search-index";
        if (!BuildOrReport(request, session, *folder, *stamp, progress)) return 1;
    } else {
        ownIndex = ReadStoreIndex(request.store);
    }
    const search::SearchOutcome found = search::SearchIndex(*folder, *parsed.query, request.limit);
    if (!found.error.empty()) return ReportFailure(found.error);
    HitNids nids(ownIndex ? ownIndex.get() : session.Index());
    if (request.json) {
        WriteJson(found.hits, nids, out);
    } else {
        WriteLines(found.hits, nids, out);
    }
    return 0;
}

}  // namespace velmora::cli
