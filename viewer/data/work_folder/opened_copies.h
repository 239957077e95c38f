// The copies of attachments this run hands to other programs (opened with
// the desktop, dragged out of the window). Those programs may still read a
// copy after the viewer has ended, so the copies outlive the run: they live
// in a private folder of their own below the working folder base. Each copy
// is recorded as written; a later start removes the copies that are still
// as written and keeps every one the user changed.
#pragma once

#include <filesystem>
#include <string>

namespace velmora {

inline constexpr char kOpenedCopiesPrefix[] = "velmora-opened-";

// Where this run's folder of copies goes, normally the base of the run
// folders. Until it is set, copies go below the working folder.
void SetOpenedCopiesBase(const std::filesystem::path& base);

// A new, empty, private folder (mode 0700) for one copy, inside this run's
// folder of copies, which is made on first use. Every call gives another
// folder, so a copy never replaces an earlier one and keeps its own name.
// Empty, with the reason in `error`, when no folder can be made.
std::filesystem::path NewOpenedCopyFolder(std::string& error);

enum class CopyUse {
    kOpened,   // shown by a desktop program: read-only, so its editor asks where to save
    kDragged,  // taken away by the drop target, which keeps the copy's mode
};

// Finishes a copy just written into a folder of NewOpenedCopyFolder: an
// opened copy becomes read-only (mode 0400), and what the copy is now is
// recorded beside its folder. False, with the reason in `error`, when that
// fails; the copy is then kept by later starts, as one they cannot vouch for.
bool SealOpenedCopy(const std::filesystem::path& copy, CopyUse use, std::string& error);

// Clears the copies that ended runs left below `base`: a copy that is still
// exactly as written goes with its record and folder; a changed copy, a copy
// without a readable record and any file another program put beside it stay.
// A folder of copies left with nothing goes. Returns how many copies went.
std::size_t RemoveUnchangedOpenedCopies(const std::filesystem::path& base);

}  // namespace velmora
