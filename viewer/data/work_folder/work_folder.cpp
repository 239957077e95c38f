#include "viewer/data/work_folder/work_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "common/uuid_text.h"

namespace velmora {
namespace {

#ifdef _WIN32
std::optional<std::filesystem::path> LocalApplicationDataFolder() {
    wchar_t buffer[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                  buffer))) {
        return std::nullopt;
    }
    return std::filesystem::path(buffer);
}
#else
std::optional<std::filesystem::path> LocalApplicationDataFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    // A relative XDG_CACHE_HOME is invalid and ignored, as the base-directory rules say.
    if (cache != nullptr && cache[0] == '/') return std::filesystem::path(cache);
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::filesystem::path(home) / ".cache";
    return std::nullopt;
}
#endif

// The cache home of a user who has none: a folder below the system's
// temporary folder that only this user can enter. Others can create names
// there too, so a name already taken is used only when it is a real folder
// of this user's own.
std::optional<std::filesystem::path> PrivateTemporaryFolder(std::string& error) {
    std::error_code failure;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(failure);
    if (failure) {
        error = "no temporary folder for the working folder: " + failure.message();
        return std::nullopt;
    }
#ifdef _WIN32
    return temp / "Velmora";
#else
    const uid_t user = ::geteuid();
    const std::filesystem::path folder = temp / ("velmora-" + std::to_string(user));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create the working folder " + folder.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != user) {
        error = "cannot use " + folder.string() +
                " as the working folder: it is not a folder of this user's own";
        return std::nullopt;
    }
    // A folder of ours left readable by others by an earlier run is closed now.
    if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
        error = "cannot make " + folder.string() + " private: " + std::strerror(errno);
        return std::nullopt;
    }
    return folder;
#endif
}

// Creates the folder unless it is there; false with the reason in `error`
// when it is not a folder afterwards.
bool MakeFolder(const std::u16string& path, std::string& error) {
    const std::filesystem::path folder = common::PathFromUtf16(path);
    std::error_code failure;
    std::filesystem::create_directory(folder, failure);
    std::error_code ignored;
    if (std::filesystem::is_directory(folder, ignored)) return true;
    error = "cannot create the working folder " + folder.string() + ": " +
            (failure ? failure.message() : std::string("a file of that name is in the way"));
    return false;
}

bool Exists(const std::u16string& path) {
    std::error_code ignored;
    return std::filesystem::exists(common::PathFromUtf16(path), ignored);
}

std::u16string Joined(const std::u16string& base, const char16_t* name) {
    return base + common::kPathSeparator + name;
}

std::u16string TimeStampText(std::time_t now) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y%m%d_%H%M%S", &local);
    return common::Utf8ToUtf16(text);
}

// Makes `folder` and its subfolders and makes it the working folder; on
// failure the working folder is empty.
bool SetUpWorkFolder(const std::u16string& folder, std::string& error) {
    WorkFolder.clear();
    if (!MakeFolder(folder, error) ||
        !MakeFolder(Joined(folder, kBinFileFolder) + common::kPathSeparator, error) ||
        !MakeFolder(Joined(folder, kFolderFolder), error) ||
        !MakeFolder(Joined(folder, kGuidTempFolder), error)) {
        return false;
    }
    WorkFolder = folder;
    return true;
}

}  // namespace

std::optional<std::filesystem::path> ApplicationCacheFolder(std::string& error) {
    std::optional<std::filesystem::path> cacheHome = LocalApplicationDataFolder();
    if (!cacheHome) cacheHome = PrivateTemporaryFolder(error);
    if (!cacheHome) return std::nullopt;
    std::error_code ignored;
    std::filesystem::create_directories(*cacheHome, ignored);
    const std::u16string application = Joined(common::PathToUtf16(*cacheHome), kApplicationName);
    if (!MakeFolder(application, error)) return std::nullopt;
    return common::PathFromUtf16(application);
}

bool InitWorkFolder(std::string* error) {
    WorkFolder.clear();
    std::string reason;
    if (const auto application = ApplicationCacheFolder(reason))
        SetUpWorkFolder(Joined(common::PathToUtf16(*application), kWorkFolderName), reason);
    if (error != nullptr) *error = WorkFolder.empty() ? reason : std::string();
    return !WorkFolder.empty();
}

WorkFolderScope::WorkFolderScope(const std::u16string& folder) : previous_(WorkFolder) {
    SetUpWorkFolder(folder, error_);
}

WorkFolderScope::~WorkFolderScope() {
    WorkFolder = previous_;
}

std::u16string GetWorkFolder() {
    return WorkFolder;
}

std::u16string NewScratchPath() {
    return Joined(WorkFolder, kGuidTempFolder) + common::kPathSeparator + common::NewUuidText();
}

int NewAttachmentFolder(std::u16string& folder) {
    return NewAttachmentFolder(folder, std::time(nullptr));
}

int NewAttachmentFolder(std::u16string& folder, std::time_t now) {
    if (WorkFolder.empty()) return 0;
    const std::u16string base = Joined(WorkFolder, kMessageBodyFolder);
    std::string ignored;
    if (!MakeFolder(base, ignored)) return 0;
    std::u16string candidate =
        base + common::kPathSeparator + kMessageBodyFolder + u"_" + TimeStampText(now);
    // The suffixes accumulate: the third name of one second ends in "_1_2".
    for (int g = 1; Exists(candidate); ++g)
        candidate += u"_" + common::Utf8ToUtf16(std::to_string(g));
    if (!MakeFolder(candidate, ignored)) return 0;
    folder = candidate;
    return 1;
}

int CreateEmptyFile(const std::u16string& path) {
    std::ofstream file(common::PathFromUtf16(path), std::ios::binary | std::ios::trunc);
    return file.is_open() ? 1 : 0;
}

}  // namespace velmora
