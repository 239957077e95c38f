// The binding between the viewer and one engine library: twelve operations
// that forward to the library's exports with the store's engine handle.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

class CPFFDataParserInterFace {
  public:
    // Virtual so that the owner may delete a binding through this type.
    virtual ~CPFFDataParserInterFace() = default;

    virtual int Test(std::u16string storePath, std::u16string tempRoot) = 0;
    virtual int Create(std::u16string storePath, std::u16string tempRoot, OpenStatus* status) = 0;
    virtual int Parse(std::u16string storePath, std::u16string tempRoot, OpenStatus* status) = 0;
    virtual int EnumRootFolder(void* arg) = 0;
    virtual int EnumChildFolder(FolderEntry* folder, OpenStatus* status) = 0;
    virtual int EnumChildMails(FolderEntry* folder, OpenStatus* status) = 0;
    // The same export with its range: from message `first`, at most `maximum` (0: no maximum).
    virtual int EnumChildMailsRange(FolderEntry* folder, OpenStatus* status, std::uint32_t first,
                                    std::uint32_t maximum) = 0;
    virtual int EnumChildMailsNext(FolderEntry* folder, void* arg) = 0;
    virtual int SaveMailBody(void* arg) = 0;
    virtual int SaveAttachment(void* arg) = 0;
    virtual int DeletePFFData(OpenStatus* status) = 0;
    virtual int SaveFolderHierarchy(std::uint32_t nidLow, std::uint32_t nidHigh,
                                    std::u16string target, int arg) = 0;
    virtual int EnumAllFolders(OpenStatus* status) = 0;

    // The handle the create export handed out; null before Create and after DeletePFFData.
    virtual EngineHandle* Handle() const = 0;
};

// Whether the user asked the store's running walk to stop: the progress
// dialog writes the stop word from its own thread, and the engine then ends
// the enumeration under way early.
inline bool StopAsked(const CPFFDataParserInterFace& binding) {
    const EngineHandle* handle = binding.Handle();
    if (handle == nullptr || handle->status == nullptr || handle->status->stopWord == nullptr)
        return false;
    return std::atomic_ref<std::int32_t>(*handle->status->stopWord).load() == CORVEX_STOP_STATE;
}

}  // namespace velmora
