// Files of the block dump (4K-page stores only): every block of the store as
// read, inflated and decoded, one file per block under TempRoot/"Bin File".
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "engine/interface/corvex_engine.h"

namespace corvex {

inline constexpr char16_t kBlockDumpFolder[] = u"" CORVEX_BLOCK_DUMP_FOLDER;

// TempRoot/Bin File/0x<low 32 bits of bid, upper-case hex, no padding>_.bin;
// a block with BID 0x1A4 gives "0x1A4_.bin".
std::filesystem::path BlockDumpPath(const std::filesystem::path& tempRoot, std::uint64_t bid);

// Writes the block's bytes; a file that cannot be opened is skipped silently.
void WriteBlockDump(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace corvex
