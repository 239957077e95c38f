#include "viewer/data/work_folder/opened_copies.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "common/path_text.h"
#include "viewer/data/work_folder/run_folder.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora {
namespace {

struct OpenedCopies {
    std::filesystem::path base;
    // Kept at exit: the run only unlocks it, and a later start removes it.
    std::unique_ptr<RunFolder> folder;
};

OpenedCopies& Copies() {
    static OpenedCopies copies;
    return copies;
}

const std::filesystem::path* CopiesFolder(std::string& error) {
    OpenedCopies& copies = Copies();
    if (copies.folder) return &copies.folder->Path();
    const std::filesystem::path base =
        copies.base.empty() ? common::PathFromUtf16(GetWorkFolder()) : copies.base;
    if (base.empty()) {
        error = "there is no working folder for copies of attachments";
        return nullptr;
    }
    auto folder = std::make_unique<RunFolder>(RunFolder::AtExit::kKeep);
    if (!folder->Create(base, kOpenedCopiesPrefix, error)) return nullptr;
    copies.folder = std::move(folder);
    return &copies.folder->Path();
}

}  // namespace

void SetOpenedCopiesBase(const std::filesystem::path& base) {
    Copies().base = base;
    Copies().folder.reset();
}

std::filesystem::path NewOpenedCopyFolder(std::string& error) {
    const std::filesystem::path* folder = CopiesFolder(error);
    if (folder == nullptr) return {};
    // mkdtemp picks a name nobody holds and creates the folder, mode 0700, in one step.
    std::string pattern = (*folder / "copy-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        error = "cannot create a folder below " + folder->string() + ": " + std::strerror(errno);
        return {};
    }
    return pattern;
}

}  // namespace velmora
