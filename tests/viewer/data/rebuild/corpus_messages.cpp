#include "tests/viewer/data/rebuild/corpus_messages.h"

#include "common/path_text.h"
#include "viewer/data/binding/pff_parsers.h"
#include "viewer/data/binding/store_folders.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {

TestWorkFolder::TestWorkFolder() : previous_(WorkFolder) {
    WorkFolder = common::PathToUtf16(dir_.Path());
    std::filesystem::create_directories(dir_.Path() / "GUIDTempFiles");
}

TestWorkFolder::~TestWorkFolder() {
    WorkFolder = previous_;
}

CorpusStore::CorpusStore(const std::string& name) {
    const std::u16string path = common::PathToUtf16(CorpusFile(name));
    std::uint16_t version = 0;
    OpenStatus status{1, {}};
    ReadStoreVersion(path, &version, &status);
    binding_ = CreateParserForVersion(version);
    if (!binding_) return;
    binding_->Create(path, GetWorkFolder(), &status);
    binding_->Parse(path, GetWorkFolder(), &status);
    binding_->EnumAllFolders(&status);
}

CorpusStore::~CorpusStore() {
    OpenStatus status{1, {}};
    if (binding_ && binding_->Handle()) binding_->DeletePFFData(&status);
}

std::vector<const MailEntry*> CorpusStore::Messages() {
    std::vector<const MailEntry*> mails;
    const FolderList* roots =
        binding_ && binding_->Handle() ? RootFolders(binding_->Handle()) : nullptr;
    for (std::uint32_t i = 0; roots != nullptr && i < roots->count; ++i)
        Collect(roots->items[i], mails, 0);
    return mails;
}

void CorpusStore::Collect(FolderEntry* folder, std::vector<const MailEntry*>& mails, int depth) {
    if (folder == nullptr || depth > 32) return;
    OpenStatus status{1, {}};
    binding_->EnumChildMails(folder, &status);
    if (folder->mails != nullptr) {
        for (std::uint32_t i = 0; i < folder->mails->entries.count; ++i)
            mails.push_back(folder->mails->entries.items[i]);
    }
    for (std::uint32_t i = 0; folder->children != nullptr && i < folder->children->count; ++i) {
        Collect(folder->children->items[i], mails, depth + 1);
    }
}

}  // namespace velmora::test
