// What the exports do, for one store variant. The extern "C" exports of each
// library forward here; tests call these directly.
#pragma once

#include <cstdint>

#include "engine/interface/corvex_engine.h"

namespace corvex {

template <typename V>
class EngineApi {
  public:
    static std::int32_t Create(const char16_t* storePath, EngineHandle** handle,
                               const char16_t* tempRoot);
    static std::int32_t Parse(const char16_t* storePath, EngineHandle* handle, OpenStatus* status);
    static std::int32_t ParseTest(const char16_t* tempRoot, const char16_t* storePath);
    static std::int32_t EnumRootFolder(EngineHandle* handle);
    static std::int32_t EnumChildFolder(FolderEntry* folder, EngineHandle* handle);
    static std::int32_t EnumAllFolders(EngineHandle* handle);
    static std::int32_t EnumChildMails(FolderEntry* folder, EngineHandle* handle,
                                       std::uint32_t first, std::uint32_t maximum);
    static std::int32_t EnumChildMailsNext(FolderEntry* folder, EngineHandle* handle);
    static std::int32_t SaveFolderHierarchy(std::uint32_t nidLow, std::uint32_t nidHigh,
                                            const char16_t* target, EngineHandle* handle);
    static std::int32_t Delete(EngineHandle* handle);
    // One of the CORVEX_VALUE_FILE_ results.
    static std::int32_t EnsureValueFile(EngineHandle* handle, const ExportedProp* prop);
};

}  // namespace corvex
