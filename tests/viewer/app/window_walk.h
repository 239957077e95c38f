// Walks the window through stores the way a reader does: open the store,
// select every folder of the tree in order and every message of each folder.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora::app {
class CMainFrame;
}

namespace velmora::test {

// Every store of the corpus: the real stores and their 4K twins, sorted.
std::vector<std::filesystem::path> CorpusStoreFiles();

// How many messages of each folder a walk selects: all of them (0) when
// VELMORA_FULL_WINDOW_WALK=1, else `inTestCommand`, to keep the test command short.
int MessagesPerFolderToWalk(int inTestCommand);

struct WalkCounts {
    int folders = 0;   // folder items selected
    int messages = 0;  // rows selected
};

// Opens `store` in `frame` and selects, in tree order, every item of its tree
// (expanding each), and in each listed folder the first `messagesPerFolder`
// rows (all when 0), calling `visit` right after each row is selected.
// False when the store did not open.
bool WalkStore(app::CMainFrame& frame, const std::filesystem::path& store, int messagesPerFolder,
               const std::function<void(const MailEntry*)>& visit, WalkCounts& counts);

}  // namespace velmora::test
