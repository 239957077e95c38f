#include "viewer/panes/store_search/search_session.h"

#include <algorithm>
#include <map>

#include "viewer/data/binding/fresh_status.h"
#include "viewer/data/binding/store_folders.h"

namespace velmora::panes {
namespace {

// Folder trees deeper than this are not walked further, as when indexing.
constexpr int kMaxFolderDepth = 64;

void MapFolders(const FolderList* list, int depth, std::map<std::uint32_t, FolderEntry*>& out) {
    if (list == nullptr || depth > kMaxFolderDepth) return;
    for (std::uint32_t i = 0; i < list->count; ++i) {
        FolderEntry* folder = list->items[i];
        if (folder == nullptr) continue;
        out.emplace(folder->nidLow, folder);
        MapFolders(folder->children, depth + 1, out);
    }
}

// The first and last position a folder's hits name.
struct Span {
    std::uint32_t first = UINT32_MAX;
    std::uint32_t last = 0;
};

}  // namespace

std::unique_ptr<SearchSession> SearchSession::Open(const std::u16string& storePath,
                                                   const OpenStoreContext& context) {
    std::unique_ptr<CPFFDataParserInterFace> binding = OpenStoreFile(storePath, context);
    return binding ? std::make_unique<SearchSession>(std::move(binding)) : nullptr;
}

SearchSession::SearchSession(std::unique_ptr<CPFFDataParserInterFace> binding)
    : binding_(std::move(binding)) {}

SearchSession::~SearchSession() {
    OpenStatus status = FreshOpenStatus();
    binding_->DeletePFFData(&status);
}

StatusBlock* SearchSession::Status() const {
    EngineHandle* handle = binding_->Handle();
    return handle != nullptr ? handle->status : nullptr;
}

bool SearchSession::StopRequested() const {
    return StopAsked(*binding_);
}

std::vector<const MailEntry*> SearchSession::ListHits(const std::vector<search::SearchHit>& hits) {
    std::map<std::uint32_t, Span> spans;
    for (const search::SearchHit& hit : hits) {
        Span& span = spans[hit.folderNid];
        span.first = std::min(span.first, hit.position);
        span.last = std::max(span.last, hit.position);
    }
    std::map<std::uint32_t, FolderEntry*> folders;
    MapFolders(RootFolders(binding_->Handle()), 0, folders);
    for (const auto& [nid, span] : spans) {
        const auto folder = folders.find(nid);
        if (folder == folders.end()) continue;
        OpenStatus status = FreshOpenStatus();
        binding_->EnumChildMailsRange(folder->second, &status, span.first,
                                      span.last - span.first + 1);
    }
    std::vector<const MailEntry*> records;
    records.reserve(hits.size());
    for (const search::SearchHit& hit : hits) {
        const auto folder = folders.find(hit.folderNid);
        const MailList* list = folder != folders.end() ? folder->second->mails : nullptr;
        const std::uint32_t index = hit.position - spans[hit.folderNid].first;
        records.push_back(
            list != nullptr && index < list->entries.count ? list->entries.items[index] : nullptr);
    }
    return records;
}

}  // namespace velmora::panes
