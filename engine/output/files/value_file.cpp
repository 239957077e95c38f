#include "engine/output/files/value_file.h"

#include "common/path_text.h"
#include "common/uuid_text.h"
#include "engine/output/files/binary_file.h"

namespace corvex {

std::filesystem::path WriteValueFile(const std::filesystem::path& tempRoot,
                                     std::span<const std::uint8_t> bytes) {
    const std::filesystem::path path = tempRoot / common::PathFromUtf16(kValueFileFolder) /
                                       common::PathFromUtf16(common::NewUuidText());
    WriteBinaryFile(path, bytes);
    return path;
}

}  // namespace corvex
