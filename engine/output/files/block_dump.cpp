#include "engine/output/files/block_dump.h"

#include <array>
#include <cctype>
#include <charconv>
#include <string>

#include "common/path_text.h"
#include "engine/output/files/binary_file.h"

namespace corvex {

std::filesystem::path BlockDumpPath(const std::filesystem::path& tempRoot, std::uint64_t bid) {
    std::array<char, 8> digits{};
    const auto low = static_cast<std::uint32_t>(bid);
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), low, 16).ptr;
    std::string name = "0x";
    for (const char* c = digits.data(); c != end; ++c) name += static_cast<char>(std::toupper(*c));
    name += "_.bin";
    return tempRoot / common::PathFromUtf16(kBlockDumpFolder) / name;
}

void WriteBlockDump(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    WriteBinaryFile(path, bytes);
}

}  // namespace corvex
