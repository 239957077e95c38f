#include "tools/velmora-cli/scratch_root.h"

#include "common/path_text.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::cli {

std::filesystem::path ScratchBase() {
    const std::u16string workFolder = GetWorkFolder();
    std::error_code error;
    if (!workFolder.empty() &&
        std::filesystem::is_directory(common::PathFromUtf16(workFolder), error)) {
        return common::PathFromUtf16(workFolder);
    }
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    return error ? std::filesystem::path("/tmp") : temp;
}

}  // namespace velmora::cli
