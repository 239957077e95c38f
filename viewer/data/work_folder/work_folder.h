// The per-user working folder shared by the viewer and the engine libraries:
// value files, scratch files and attachment folders live below it.
#pragma once

#include <ctime>
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
// Windows). When there is none, WorkFolder stays empty and nothing is created.
// Existing folders are left as they are.
void InitWorkFolder();

// A copy of WorkFolder.
std::u16string GetWorkFolder();

// WorkFolder/GUIDTempFiles/<new lower-case UUID>; nothing is created.
std::u16string NewScratchPath();

// Creates WorkFolder/MSG_BODY/MSG_BODY_<local time %Y%m%d_%H%M%S>, with "_1",
// "_1_2", ... appended while the name is taken, and puts its path in `folder`.
// Returns 1.
int NewAttachmentFolder(std::u16string& folder);
int NewAttachmentFolder(std::u16string& folder, std::time_t now);

// Creates (or truncates) the file; non-zero when it could be created.
int CreateEmptyFile(const std::u16string& path);

}  // namespace velmora
