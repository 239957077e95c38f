#include "tools/velmora-cli/folder_visit.h"

#include "viewer/data/mail_access/record_getters.h"

namespace velmora::cli {
namespace {

void Visit(const FolderList* list, int depth, const std::u16string& prefix,
           std::vector<FolderVisit>& out) {
    if (list == nullptr) return;
    for (std::uint32_t i = 0; i < list->count; ++i) {
        FolderEntry* folder = list->items[i];
        if (folder == nullptr) continue;
        const std::u16string path =
            prefix.empty() ? FolderName(folder) : prefix + u"/" + FolderName(folder);
        out.push_back({folder, depth, path});
        Visit(folder->children, depth + 1, path, out);
    }
}

}  // namespace

std::vector<FolderVisit> FlattenFolders(const FolderList* list, int depth) {
    std::vector<FolderVisit> out;
    Visit(list, depth, u"", out);
    return out;
}

}  // namespace velmora::cli
