#include "viewer/data/work_folder/opened_copies.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/path_text.h"
#include "viewer/data/work_folder/copy_record.h"
#include "viewer/data/work_folder/run_folder.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora {
namespace {

struct OpenedCopies {
    std::filesystem::path base;
    // Kept at exit: the run only unlocks it, and a later start removes it.
    std::unique_ptr<RunFolder> folder;
};

OpenedCopies& Copies() {
    static OpenedCopies copies;
    return copies;
}

const std::filesystem::path* CopiesFolder(std::string& error) {
    OpenedCopies& copies = Copies();
    if (copies.folder) return &copies.folder->Path();
    const std::filesystem::path base =
        copies.base.empty() ? common::PathFromUtf16(GetWorkFolder()) : copies.base;
    if (base.empty()) {
        error = "there is no working folder for copies of attachments";
        return nullptr;
    }
    auto folder = std::make_unique<RunFolder>(RunFolder::AtExit::kKeep);
    if (!folder->Create(base, kOpenedCopiesPrefix, error)) return nullptr;
    copies.folder = std::move(folder);
    return &copies.folder->Path();
}

constexpr char kCopyFolderPrefix[] = "copy-";
constexpr char kRecordExtension[] = ".record";

// The record of the copy in `copyFolder` lies beside that folder, out of the
// way of a Save As dialog that opens in the copy's folder.
std::filesystem::path RecordFileOf(const std::filesystem::path& copyFolder) {
    std::filesystem::path record = copyFolder;
    record += kRecordExtension;
    return record;
}

bool IsRealFolder(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Removes the copy in `copyFolder` when it is as its record says, then the
// record, then the folder when nothing else is in it; true when the copy went.
bool RemoveCopyIfUnchanged(const std::filesystem::path& copyFolder) {
    const std::filesystem::path recordFile = RecordFileOf(copyFolder);
    const std::optional<CopyRecord> record = ReadCopyRecord(recordFile);
    if (!record) return false;
    const std::filesystem::path copy = copyFolder / record->name;
    std::error_code ignored;
    const bool unchanged = IsUnchanged(copy, *record);
    if (unchanged && ::unlink(copy.c_str()) != 0) return false;
    if (unchanged || !std::filesystem::exists(std::filesystem::symlink_status(copy, ignored)))
        std::filesystem::remove(recordFile, ignored);
    ::rmdir(copyFolder.c_str());  // stays when anything else is in it
    return unchanged;
}

// Clears one ended run's folder of copies; true when the folder went.
bool ClearCopiesFolder(const std::filesystem::path& folder, std::size_t& removed) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(kCopyFolderPrefix) && !name.ends_with(kRecordExtension) &&
            IsRealFolder(entry.path()) && RemoveCopyIfUnchanged(entry.path()))
            ++removed;
    }
    // Only the lock file left: the folder has done its work.
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
        if (entry.path().filename() != ".lock") return false;
    }
    return std::filesystem::remove_all(folder, ignored) > 0;
}

}  // namespace

void SetOpenedCopiesBase(const std::filesystem::path& base) {
    Copies().base = base;
    Copies().folder.reset();
}

std::filesystem::path NewOpenedCopyFolder(std::string& error) {
    const std::filesystem::path* folder = CopiesFolder(error);
    if (folder == nullptr) return {};
    // mkdtemp picks a name nobody holds and creates the folder, mode 0700, in one step.
    std::string pattern = (*folder / (std::string(kCopyFolderPrefix) + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot create a folder below " + folder->string() + ": " + std::strerror(errno);
        return {};
    }
    return pattern;
}

bool SealOpenedCopy(const std::filesystem::path& copy, CopyUse use, std::string& error) {
    if (use == CopyUse::kOpened && ::chmod(copy.c_str(), 0400) != 0) {
        error = "cannot make " + copy.string() + " read-only: " + std::strerror(errno);
        return false;
    }
    const std::optional<CopyRecord> record = RecordOf(copy);
    if (!record || !WriteCopyRecord(*record, RecordFileOf(copy.parent_path()))) {
        error = "cannot record the copy " + copy.string();
        return false;
    }
    return true;
}

std::size_t RemoveUnchangedOpenedCopies(const std::filesystem::path& base) {
    std::size_t removed = 0;
    ClearEndedRunFolders(base, kOpenedCopiesPrefix, [&](const std::filesystem::path& folder) {
        return ClearCopiesFolder(folder, removed);
    });
    return removed;
}

}  // namespace velmora
