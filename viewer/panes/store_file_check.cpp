#include "viewer/panes/store_file_check.h"

#include <filesystem>
#include <system_error>

#include "common/path_text.h"
#include "common/utf16_text.h"

namespace velmora::panes {

std::u16string StoreFileProblem(const std::u16string& storePath) {
    const std::filesystem::path path = common::PathFromUtf16(storePath);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) return storePath + u": " + common::Utf8ToUtf16(error.message());
    if (std::filesystem::is_directory(status))
        return storePath + u" is a folder, not a store file.";
    if (!std::filesystem::is_regular_file(status)) return storePath + u" is not a regular file.";
    return {};
}

}  // namespace velmora::panes
