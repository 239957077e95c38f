// A store's folder tree flattened depth first, each folder with its depth and
// its path of names joined with "/".
#pragma once

#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora::cli {

struct FolderVisit {
    FolderEntry* folder;
    int depth;
    std::u16string path;  // names from the start of the walk, joined with "/"
};

// Every folder of `list` and below, in list order, parents before children.
std::vector<FolderVisit> FlattenFolders(const FolderList* list, int depth = 0);

}  // namespace velmora::cli
