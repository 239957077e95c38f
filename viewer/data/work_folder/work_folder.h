// The per-user working folder shared by the viewer and the engine libraries:
// value files, scratch files and attachment folders live below it.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// The working folder's path; empty until InitWorkFolder has found one.
inline std::u16string WorkFolder;

inline constexpr char16_t kApplicationName[] = u"Velmora";
inline constexpr char16_t kWorkFolderName[] = u"PffTempData";
inline constexpr char16_t kBinFileFolder[] = u"" CORVEX_BLOCK_DUMP_FOLDER;
inline constexpr char16_t kFolderFolder[] = u"" CORVEX_EXPORT_FOLDER;
inline constexpr char16_t kGuidTempFolder[] = u"" CORVEX_VALUE_FILE_FOLDER;
inline constexpr char16_t kMessageBodyFolder[] = u"MSG_BODY";

// Sets WorkFolder to <cache home>/Velmora/PffTempData and creates it with its
// subfolders "Bin File", "Folder" and "GUIDTempFiles". The cache home is
// $XDG_CACHE_HOME, else $HOME/.cache (the local application-data folder on
// Windows), else a folder of the user's own below the system's temporary
// folder: velmora-<user id>, mode 0700, which when it exists already must be
// a real folder (not a link) owned by the user. Existing folders are left as
// they are. When no folder can be made, WorkFolder stays empty and the
// reason, naming the folder, is put in `error`; returns false.
bool InitWorkFolder(std::string* error = nullptr);

// <cache home>/Velmora, created when missing, with the cache home chosen as
// InitWorkFolder chooses it; nothing with the reason in `error` when no such
// folder can be made. The working folder and the search indexes live below it.
std::optional<std::filesystem::path> ApplicationCacheFolder(std::string& error);

// Points WorkFolder at `folder`, created with its subfolders, while the object
// lives, and restores the previous working folder when it goes. A run that
// must leave nothing behind points it into a folder it removes afterwards.
class WorkFolderScope {
  public:
    explicit WorkFolderScope(const std::u16string& folder);
    ~WorkFolderScope();
    WorkFolderScope(const WorkFolderScope&) = delete;
    WorkFolderScope& operator=(const WorkFolderScope&) = delete;

    // False when the folder could not be made; WorkFolder is then empty and
    // the reason is in Error().
    bool Ready() const { return error_.empty(); }
    const std::string& Error() const { return error_; }

  private:
    std::u16string previous_;
    std::string error_;
};

// A copy of WorkFolder.
std::u16string GetWorkFolder();

// WorkFolder/GUIDTempFiles/<new lower-case UUID>; nothing is created.
std::u16string NewScratchPath();

// Creates WorkFolder/MSG_BODY/MSG_BODY_<local time %Y%m%d_%H%M%S>, with "_1",
// "_1_2", ... appended while the name is taken, and puts its path in `folder`.
// Returns 1, or 0 when there is no working folder or the folder cannot be made.
int NewAttachmentFolder(std::u16string& folder);
int NewAttachmentFolder(std::u16string& folder, std::time_t now);

// Creates (or truncates) the file; non-zero when it could be created.
int CreateEmptyFile(const std::u16string& path);

}  // namespace velmora
