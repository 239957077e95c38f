#include "engine/output/files/output_directory.h"

#include <string>
#include <system_error>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "engine/storage/engine_message.h"

namespace corvex {

bool EnsureDirectory(const std::filesystem::path& directory, std::string_view caption) {
    std::error_code error;
    // The export makes folders below folders it has just made: one mkdir is
    // usually all it takes, without looking at the path or its parents first.
    if (std::filesystem::create_directory(directory, error)) return true;
    if (std::filesystem::is_directory(directory, error)) return true;
    error.clear();
    std::filesystem::create_directories(directory, error);
    if (!error && std::filesystem::is_directory(directory, error)) return true;
    // A path taken by a file reports no error from create_directories.
    if (!error) error = std::make_error_code(std::errc::file_exists);
    const std::string reason = error.message();
    ShowEngineMessage("Cannot create folder \"" +
                          common::Utf16ToUtf8(common::PathToUtf16(directory)) + "\": " + reason,
                      caption, reason);
    return false;
}

}  // namespace corvex
