#include "engine/output/value_file.h"

#include "engine/output/binary_file.h"
#include "engine/output/path_text.h"
#include "engine/output/uuid_text.h"

namespace corvex {

std::filesystem::path WriteValueFile(const std::filesystem::path& tempRoot,
                                     std::span<const std::uint8_t> bytes) {
    const std::filesystem::path path =
        tempRoot / PathFromUtf16(kValueFileFolder) / PathFromUtf16(NewUuidText());
    WriteBinaryFile(path, bytes);
    return path;
}

}  // namespace corvex
