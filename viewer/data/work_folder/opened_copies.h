// The copies of attachments this run hands to other programs (opened with
// the desktop, dragged out of the window). Those programs may still read a
// copy after the viewer has ended, so the copies outlive the run: they live
// in a private folder of their own below the working folder base, which a
// later start removes.
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

}  // namespace velmora
