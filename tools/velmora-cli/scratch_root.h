// A folder of its own for one run of the tool, handed to the engine as its
// temporary root. The engine writes a value file there for every out-of-line
// value it hands out and never deletes any, so the folder goes, with all it
// holds, when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace velmora::cli {

class ScratchRoot {
  public:
    ScratchRoot() = default;
    ~ScratchRoot();
    ScratchRoot(const ScratchRoot&) = delete;
    ScratchRoot& operator=(const ScratchRoot&) = delete;

    // Makes a fresh, uniquely named folder below `base`; false with the
    // system's reason in `error` when it cannot. Replaces (and removes) the
    // folder an earlier call made.
    bool Create(const std::filesystem::path& base, std::string& error);

    // Empty before Create succeeds.
    const std::filesystem::path& Path() const { return path_; }

  private:
    void Remove();

    std::filesystem::path path_;
};

// Where a run's scratch folder goes: the working folder when there is one
// (the cache the viewer uses), else the system's temporary folder.
std::filesystem::path ScratchBase();

}  // namespace velmora::cli
