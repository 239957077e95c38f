// The commands that write files: the engine's folder-hierarchy export, one
// attachment's data, and a message's RTF body.
#pragma once

#include <cstdint>
#include <filesystem>

namespace velmora::cli {

inline constexpr std::uint32_t kRootFolderNid = 0x122;

// The engine's folder export of `folderNid` and everything below it into
// `outDir`. Fails when the engine reported anything it could not write.
int RunExport(const std::filesystem::path& store, const std::filesystem::path& outDir,
              std::uint32_t folderNid);

// Writes the data of attachment `index` (counted from 0) of message `messageNid`.
int RunAttachment(const std::filesystem::path& store, std::uint32_t messageNid, std::uint32_t index,
                  const std::filesystem::path& output);

// Writes the decoded RTF body of message `messageNid`.
int RunRtf(const std::filesystem::path& store, std::uint32_t messageNid,
           const std::filesystem::path& output);

}  // namespace velmora::cli
