#include "tools/velmora-cli/store_session.h"

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::cli {
namespace {

OpenStatus FreshStatus() {
    OpenStatus status{};
    status.code = 1;
    return status;
}

std::string StatusText(const OpenStatus& status) {
    return common::Utf16ToUtf8(status.text);
}

}  // namespace

StoreSession::StoreSession(std::filesystem::path libraryFolder)
    : libraryFolder_(std::move(libraryFolder)),
      factory_([folder = libraryFolder_](std::uint16_t version) {
          return CreateParserForVersion(version, folder);
      }) {}

StoreSession::StoreSession(BindingFactory factory) : factory_(std::move(factory)) {}

StoreSession::~StoreSession() {
    if (Handle() == nullptr) return;
    OpenStatus status = FreshStatus();
    binding_->DeletePFFData(&status);
}

bool StoreSession::CreateBinding(const std::filesystem::path& store, std::string& error) {
    OpenStatus status = FreshStatus();
    if (!ReadStoreVersion(common::PathToUtf16(store), &version_, &status)) {
        error = "cannot open " + store.string() + ": " + StatusText(status);
        return false;
    }
    if (IsVersionInRange(version_)) binding_ = factory_(version_);
    if (!binding_)
        error = store.string() + ": unsupported store version " + std::to_string(version_);
    return binding_ != nullptr;
}

bool StoreSession::Open(const std::filesystem::path& store, std::string& error) {
    store_ = store;
    if (GetWorkFolder().empty() && !InitWorkFolder(&error)) return false;
    if (!CreateBinding(store, error)) return false;
    // Runs that ended without removing theirs (a crash, a kill) are cleared first.
    RemoveEndedRunFolders(ScratchBase());
    if (!scratch_.Create(ScratchBase(), kRunFolderPrefix, error)) return false;
    const std::u16string path = common::PathToUtf16(store);
    const std::u16string tempRoot = common::PathToUtf16(scratch_.Path());
    OpenStatus status = FreshStatus();
    binding_->Create(path, tempRoot, &status);
    if (Handle() == nullptr) {
        error = "the engine library for store version " + std::to_string(version_) +
                " cannot be loaded from " + libraryFolder_.string();
        return false;
    }
    binding_->Parse(path, tempRoot, &status);
    if (status.code == 0) {
        error = "cannot open " + store.string() + ": " + StatusText(status);
        return false;
    }
    binding_->EnumAllFolders(&status);
    return true;
}

FolderList* StoreSession::Roots() const {
    return RootFolders(Handle());
}

const MailEntryList& StoreSession::EnumMails(FolderEntry* folder) {
    OpenStatus status = FreshStatus();
    binding_->EnumChildMails(folder, &status);
    return folder->mails->entries;
}

std::size_t StoreSession::MessageCount(FolderEntry* folder) {
    const StoreIndex* index = Index();
    return index != nullptr ? index->MessageNids(folder->nidLow).size() : EnumMails(folder).count;
}

const StoreIndex* StoreSession::Index() {
    if (!indexTried_ && Handle() != nullptr) {
        indexTried_ = true;
        std::string ignored;
        index_ = StoreIndex::Open(store_, version_, ignored);
    }
    return index_.get();
}

}  // namespace velmora::cli
