// Where one run of the tool keeps its scratch and value files: a run folder
// of its own (viewer/data/work_folder/run_folder.h), handed to the engine as
// its temporary root and removed with everything in it when the run ends.
#pragma once

#include <filesystem>

namespace velmora::cli {

// The names of the tool's run folders start with this.
inline constexpr char kRunFolderPrefix[] = "velmora-cli-";

// Where a run's scratch folder goes: the working folder when there is one
// (the cache the viewer uses), else the system's temporary folder.
std::filesystem::path ScratchBase();

}  // namespace velmora::cli
