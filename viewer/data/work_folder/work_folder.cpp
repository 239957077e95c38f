#include "viewer/data/work_folder/work_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
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

void MakeFolder(const std::u16string& path) {
    std::error_code ignored;
    std::filesystem::create_directory(common::PathFromUtf16(path), ignored);
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

}  // namespace

void InitWorkFolder() {
    WorkFolder.clear();
    const std::optional<std::filesystem::path> appData = LocalApplicationDataFolder();
    if (!appData) return;
    std::error_code ignored;
    std::filesystem::create_directories(*appData, ignored);
    const std::u16string application = Joined(common::PathToUtf16(*appData), kApplicationName);
    MakeFolder(application);
    WorkFolder = Joined(application, kWorkFolderName);
    MakeFolder(WorkFolder);
    MakeFolder(Joined(WorkFolder, kBinFileFolder) + common::kPathSeparator);
    MakeFolder(Joined(WorkFolder, kFolderFolder));
    MakeFolder(Joined(WorkFolder, kGuidTempFolder));
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
    const std::u16string base = Joined(WorkFolder, kMessageBodyFolder);
    MakeFolder(base);
    std::u16string candidate =
        base + common::kPathSeparator + kMessageBodyFolder + u"_" + TimeStampText(now);
    // The suffixes accumulate: the third name of one second ends in "_1_2".
    for (int g = 1; Exists(candidate); ++g)
        candidate += u"_" + common::Utf8ToUtf16(std::to_string(g));
    MakeFolder(candidate);
    folder = candidate;
    return 1;
}

int CreateEmptyFile(const std::u16string& path) {
    std::ofstream file(common::PathFromUtf16(path), std::ios::binary | std::ios::trunc);
    return file.is_open() ? 1 : 0;
}

}  // namespace velmora
