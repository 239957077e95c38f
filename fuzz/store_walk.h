// Drives one store file through the exports the way the viewer does when it
// opens a mailbox: create, parse, the all-folders enumeration, the message
// enumeration of the folders, reading every value file of their records
// (which the engine writes then), delete. Shared by the store fuzz targets and the
// regression tests, so that a kept input is replayed exactly as it was found.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/path_text.h"
#include "engine/interface/corvex_engine.h"
#include "engine/interface/engine_api.h"
#include "engine/output/files/value_file.h"

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

    // The bytes of every value file the last run had the engine write.
    std::uint64_t ValueFileBytes() const { return valueFileBytes_; }

  private:
    using Api = corvex::EngineApi<V>;

    void WalkFolders(EngineHandle* handle) {
        valueFileBytes_ = 0;
        Api::EnumAllFolders(handle);
        budget_ = limits_.folders;
        WalkList(handle->rootFolders, handle);
    }

    void ReadValueFiles(const ExportedPropMap* map, EngineHandle* handle) {
        for (std::uint32_t i = 0; map != nullptr && i < map->count; ++i) {
            const ExportedProp* prop = map->items[i];
            if (prop->inFile != 1 || Api::EnsureValueFile(handle, prop) != CORVEX_VALUE_FILE_READY)
                continue;
            std::error_code error;
            const std::uintmax_t size = std::filesystem::file_size(
                common::PathFromUtf16(corvex::NamedValueFilePath(*prop)), error);
            if (!error) valueFileBytes_ += size;
        }
    }

    // A message's values, its attachments' and those of the messages attached to it.
    void ReadValueFiles(const MailEntry* mail, EngineHandle* handle) {
        if (mail == nullptr) return;
        ReadValueFiles(mail->props, handle);
        for (std::uint32_t i = 0; mail->attachments != nullptr && i < mail->attachments->count;
             ++i) {
            ReadValueFiles(mail->attachments->items[i]->object, handle);
            ReadValueFiles(mail->attachments->items[i]->embedded, handle);
        }
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
        ReadValueFiles(folder->props, handle);
        Api::EnumChildMails(folder, handle, 0, limits_.messagesPerFolder);
        for (std::uint32_t i = 0; folder->mails != nullptr && i < folder->mails->entries.count; ++i)
            ReadValueFiles(folder->mails->entries.items[i], handle);
        WalkList(folder->children, handle);
    }

    WalkLimits limits_;
    int budget_ = 0;
    std::uint64_t valueFileBytes_ = 0;
};

}  // namespace velmora::fuzz
