// A folder of one run of a program below the working folder: the engine's
// value files and the viewer's scratch files of that run go there, and only
// there. It is made private (mode 0700) and held locked while the run lives,
// and goes with everything in it when the run ends. A run that ended without
// removing its folder (a crash, a kill) leaves it unlocked; the next run
// removes it. A folder made to be kept at exit (files handed to other
// programs, which may still read them) is only unlocked when the run ends, so
// that a later run removes it.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace velmora {

class RunFolder {
  public:
    enum class AtExit { kRemove, kKeep };

    explicit RunFolder(AtExit atExit = AtExit::kRemove) : atExit_(atExit) {}
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // Makes a fresh folder named `prefix` + six random characters below
    // `base` and locks it; false with the reason in `error` when it cannot.
    // Replaces (and removes) the folder an earlier call made.
    bool Create(const std::filesystem::path& base, const std::string& prefix, std::string& error);

    // Empty before Create succeeds.
    const std::filesystem::path& Path() const { return path_; }

  private:
    void Remove();
    void Release();

    AtExit atExit_;
    std::filesystem::path path_;
    int lock_ = -1;
};

// Removes the run folders below `base` whose run has ended: folders of ours
// (real folders, owned by this user, named "velmora-…") whose lock file
// nobody holds. A folder still being set up, without its lock file yet, is
// left alone, and so is a folder of opened copies, which holds files the user
// may have changed (RemoveUnchangedOpenedCopies clears those). Returns how
// many went.
std::size_t RemoveEndedRunFolders(const std::filesystem::path& base);

// Calls `clear` with each folder of ours below `base` named `prefix`… whose
// run has ended, holding its lock meanwhile so that no other start clears it
// at the same time. Returns how many times `clear` said the folder went.
std::size_t ClearEndedRunFolders(const std::filesystem::path& base, const std::string& prefix,
                                 const std::function<bool(const std::filesystem::path&)>& clear);

}  // namespace velmora
