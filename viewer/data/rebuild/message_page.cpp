#include "viewer/data/rebuild/message_page.h"

#include <system_error>

#include "common/path_text.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora {
namespace {

void RemoveFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace

PageScratch::~PageScratch() {
    Wait();
}

PageScratch::PageScratch(PageScratch&& other) noexcept
    : folder_(std::move(other.folder_)), removal_(std::move(other.removal_)) {
    other.folder_.clear();
}

PageScratch& PageScratch::operator=(PageScratch&& other) noexcept {
    if (this == &other) return *this;
    Wait();
    folder_ = std::move(other.folder_);
    removal_ = std::move(other.removal_);
    other.folder_.clear();
    return *this;
}

void PageScratch::Hold(std::filesystem::path folder) {
    Wait();
    folder_ = std::move(folder);
}

void PageScratch::RemoveBeside() {
    if (folder_.empty() || removal_.valid()) return;
    try {
        removal_ = std::async(std::launch::async, RemoveFolder, folder_);
    } catch (const std::system_error&) {
        RemoveFolder(folder_);
        folder_.clear();
    }
}

void PageScratch::Wait() {
    if (removal_.valid())
        removal_.get();
    else if (!folder_.empty())
        RemoveFolder(folder_);
    folder_.clear();
}

bool RenderMessagePage(const MailEntry* mail, const std::u16string& target) {
    PageScratch scratch;
    return RenderMessagePage(mail, target, scratch);
}

bool RenderMessagePage(const MailEntry* mail, const std::u16string& target, PageScratch& scratch) {
    // Without a working folder there is no scratch folder either: the rebuild
    // then says so itself.
    if (GetWorkFolder().empty()) return RenderSelectedMessage(mail, target);
    const std::filesystem::path folder = common::PathFromUtf16(NewScratchPath());
    scratch.Hold(folder);
    bool ready = false;
    bool rendered = false;
    {
        const WorkFolderScope passing(common::PathToUtf16(folder));
        ready = passing.Ready();
        if (ready) rendered = RenderSelectedMessage(mail, target);
    }
    // A scratch folder that cannot be made leaves the files in the usual place.
    return ready ? rendered : RenderSelectedMessage(mail, target);
}

}  // namespace velmora
