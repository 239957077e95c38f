#include "tools/velmora-cli/scratch_root.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>

#include "common/path_text.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::cli {

ScratchRoot::~ScratchRoot() {
    Remove();
}

bool ScratchRoot::Create(const std::filesystem::path& base, std::string& error) {
    Remove();
    // mkdtemp both picks a name nobody holds and creates the folder in one
    // step, so two runs started together never share a root.
    std::string pattern = (base / "velmora-cli-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error =
            "cannot create a scratch folder below " + base.string() + ": " + std::strerror(errno);
        return false;
    }
    path_ = pattern;
    return true;
}

void ScratchRoot::Remove() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
}

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
