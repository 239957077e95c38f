#include "viewer/data/work_folder/run_folder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "viewer/data/work_folder/opened_copies.h"

namespace velmora {
namespace {

constexpr char kLockFileName[] = ".lock";
constexpr char kRunFolderPrefix[] = "velmora-";

// The lock file of a run folder, opened without following a link; -1 when it
// is not there.
int OpenLockFile(const std::filesystem::path& folder, int extraFlags) {
    return ::open((folder / kLockFileName).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | extraFlags,
                  0600);
}

// A folder another run may have made: a real folder of this user's, with the prefix.
bool IsOurRunFolder(const std::filesystem::directory_entry& entry, const std::string& prefix) {
    if (!entry.path().filename().string().starts_with(prefix)) return false;
    struct stat info {};
    return ::lstat(entry.path().c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid();
}

}  // namespace

RunFolder::~RunFolder() {
    if (atExit_ == AtExit::kKeep) {
        Release();
        return;
    }
    Remove();
}

bool RunFolder::Create(const std::filesystem::path& base, const std::string& prefix,
                       std::string& error) {
    Remove();
    // mkdtemp picks a name nobody holds and creates the folder, mode 0700, in one step.
    std::string pattern = (base / (prefix + "XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot create a folder for this run below " + base.string() + ": " +
                std::strerror(errno);
        return false;
    }
    path_ = pattern;
    lock_ = OpenLockFile(path_, O_CREAT | O_EXCL);
    if (lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        error = "cannot lock " + path_.string() + ": " + std::strerror(errno);
        Remove();
        return false;
    }
    return true;
}

void RunFolder::Remove() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    // Unlocked only once the folder is gone, so that no other run starts on it.
    Release();
}

void RunFolder::Release() {
    path_.clear();
    if (lock_ >= 0) ::close(lock_);
    lock_ = -1;
}

std::size_t ClearEndedRunFolders(const std::filesystem::path& base, const std::string& prefix,
                                 const std::function<bool(const std::filesystem::path&)>& clear) {
    std::size_t cleared = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(base, error)) {
        if (!IsOurRunFolder(entry, prefix)) continue;
        const int lock = OpenLockFile(entry.path(), 0);
        if (lock < 0) continue;
        // A lock nobody holds belongs to a run that has ended.
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0 && clear(entry.path())) ++cleared;
        ::close(lock);
    }
    return cleared;
}

std::size_t RemoveEndedRunFolders(const std::filesystem::path& base) {
    return ClearEndedRunFolders(base, kRunFolderPrefix, [](const std::filesystem::path& folder) {
        if (folder.filename().string().starts_with(kOpenedCopiesPrefix)) return false;
        std::error_code ignored;
        return std::filesystem::remove_all(folder, ignored) > 0;
    });
}

}  // namespace velmora
