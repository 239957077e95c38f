// Drives one store file through the exports the way the viewer does when it
// opens a mailbox: create, parse, the all-folders enumeration, the message
// enumeration of the folders, delete. Shared by the store fuzz targets and the
// regression tests, so that a kept input is replayed exactly as it was found.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/interface/corvex_engine.h"
#include "engine/interface/engine_api.h"

namespace velmora::fuzz {

// Bounds on the work of one walk: a hostile store may describe any number of
// folders and messages, and the walk is meant to visit each code path, not
// every item.
struct WalkLimits {
    int folders = 32;
    std::uint32_t messagesPerFolder = 8;
};

template <typename V>
class StoreWalk {
  public:
    explicit StoreWalk(WalkLimits limits) : limits_(limits) {}

    // Returns whether the engine opened the store. Aborts if Create hands out no handle.
    bool Run(const std::u16string& store, const std::u16string& tempRoot) {
        EngineHandle* handle = nullptr;
        Api::Create(store.c_str(), &handle, tempRoot.c_str());
        if (handle == nullptr) std::abort();
        OpenStatus status{};
        status.code = 1;
        Api::Parse(store.c_str(), handle, &status);
        const bool opened = status.code != 0;
        if (opened) WalkFolders(handle);
        Api::Delete(handle);
        return opened;
    }

  private:
    using Api = corvex::EngineApi<V>;

    void WalkFolders(EngineHandle* handle) {
        Api::EnumAllFolders(handle);
        budget_ = limits_.folders;
        WalkList(handle->rootFolders, handle);
    }

    void WalkList(FolderList* list, EngineHandle* handle) {
        if (list == nullptr) return;
        for (std::uint32_t i = 0; i < list->count && budget_ > 0; ++i)
            WalkFolder(list->items[i], handle);
    }

    // The folder's messages, then its descendants, depth first.
    void WalkFolder(FolderEntry* folder, EngineHandle* handle) {
        if (folder == nullptr) return;
        --budget_;
        Api::EnumChildMails(folder, handle, 0, limits_.messagesPerFolder);
        WalkList(folder->children, handle);
    }

    WalkLimits limits_;
    int budget_ = 0;
};

}  // namespace velmora::fuzz
