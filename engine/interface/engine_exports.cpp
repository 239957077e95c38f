// The exported entry points of one engine library. Compiled once per library
// with one of CORVEX_LIBRARY_32, CORVEX_LIBRARY_64 or CORVEX_LIBRARY_64K set. No exception leaves
// an export: a failure inside ends the call with its fixed result.
#include <string>
#include <string_view>

#include "common/dynamic_library.h"
#include "engine/interface/corvex_engine.h"
#include "engine/interface/engine_api.h"
#include "engine/storage/engine_message.h"
#include "engine/storage/variant_traits.h"

#define CORVEX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

#if defined(CORVEX_LIBRARY_32)
using Api = corvex::EngineApi<corvex::AnsiTraits>;
#elif defined(CORVEX_LIBRARY_64)
using Api = corvex::EngineApi<corvex::UnicodeTraits>;
#else
using Api = corvex::EngineApi<corvex::Unicode4KTraits>;
#endif

// The engine's messages reach the program that loaded this library through
// its CorvexHostShowMessage, looked up once; a program without one gets them
// on standard error.
void InstallHostMessageService() {
    static const bool installed = [] {
        const auto service = reinterpret_cast<CorvexHostShowMessageFn>(
            common::FindProgramSymbol(CORVEX_HOST_MESSAGE_FUNCTION));
        if (service != nullptr) {
            corvex::SetEngineMessageHandler(
                [service](std::string_view text, std::string_view caption) {
                    service(std::string(text).c_str(), std::string(caption).c_str());
                });
        }
        return true;
    }();
    (void)installed;
}

template <typename Call>
int32_t Guarded(int32_t fixedResult, Call call) {
    InstallHostMessageService();
    const corvex::EngineMessageScope oncePerCall;
    try {
        call();
    } catch (...) {
    }
    return fixedResult;
}

int32_t Create(const CorvexChar* storePath, EngineHandle** handle, const CorvexChar* tempRoot) {
    return Guarded(0, [&] { Api::Create(storePath, handle, tempRoot); });
}

int32_t Parse(const CorvexChar* storePath, EngineHandle* handle, OpenStatus* status) {
    return Guarded(0, [&] { Api::Parse(storePath, handle, status); });
}

int32_t ParseTest(const CorvexChar* tempRoot, const CorvexChar* storePath) {
    int32_t opened = 0;
    Guarded(0, [&] { opened = Api::ParseTest(tempRoot, storePath); });
    return opened;
}

}  // namespace

#if defined(CORVEX_LIBRARY_32)
CORVEX_EXPORT int32_t _ExpCreatePFF32Object(const CorvexChar* path, EngineHandle** handle,
                                            const CorvexChar* root, OpenStatus*) {
    return Create(path, handle, root);
}
CORVEX_EXPORT int32_t _ExpParsePFF32(const CorvexChar* path, EngineHandle* handle,
                                     const CorvexChar*, OpenStatus* status) {
    return Parse(path, handle, status);
}
CORVEX_EXPORT int32_t _ExpTestPFF32(const CorvexChar* root, const CorvexChar* path) {
    return ParseTest(root, path);
}
#else
#if defined(CORVEX_LIBRARY_64)
CORVEX_EXPORT int32_t _ExpCreatePFF64Object(const CorvexChar* path, EngineHandle** handle,
                                            const CorvexChar* root, OpenStatus*) {
    return Create(path, handle, root);
}
#else
CORVEX_EXPORT int32_t _ExpCreatePFF64P4KObject(const CorvexChar* path, EngineHandle** handle,
                                               const CorvexChar* root, OpenStatus*) {
    return Create(path, handle, root);
}
#endif
CORVEX_EXPORT int32_t _ExpParsePFF64(const CorvexChar* path, EngineHandle* handle,
                                     const CorvexChar*, OpenStatus* status) {
    return Parse(path, handle, status);
}
CORVEX_EXPORT int32_t _ExpPFFParseTest(const CorvexChar* root, const CorvexChar* path) {
    return ParseTest(root, path);
}
#endif

CORVEX_EXPORT int32_t _ExpEnumRootFolder(EngineHandle* handle, void*) {
    return Guarded(1, [&] { Api::EnumRootFolder(handle); });
}

CORVEX_EXPORT int32_t _ExpEnumChildFolder(FolderEntry* folder, EngineHandle* handle, void*) {
    return Guarded(1, [&] { Api::EnumChildFolder(folder, handle); });
}

CORVEX_EXPORT int32_t _ExpEnumAllFolders(EngineHandle* handle, void*) {
    return Guarded(1, [&] { Api::EnumAllFolders(handle); });
}

CORVEX_EXPORT int32_t _ExpEnumChildMails(FolderEntry* folder, EngineHandle* handle, void*,
                                         uint32_t firstIndex, uint32_t maximumCount) {
    return Guarded(1, [&] { Api::EnumChildMails(folder, handle, firstIndex, maximumCount); });
}

CORVEX_EXPORT int32_t _ExpEnumChildMailsNext(FolderEntry* folder, EngineHandle* handle, void*) {
    return Guarded(1, [&] { Api::EnumChildMailsNext(folder, handle); });
}

CORVEX_EXPORT int32_t _ExpSaveFolderHierarchy(uint32_t nidLow, uint32_t nidHigh,
                                              const CorvexChar* target, EngineHandle* handle,
                                              void*) {
    return Guarded(1, [&] { Api::SaveFolderHierarchy(nidLow, nidHigh, target, handle); });
}

CORVEX_EXPORT int32_t _ExpEnsureValueFile(EngineHandle* handle, const ExportedProp* prop) {
    int32_t result = CORVEX_VALUE_FILE_FAILED;
    Guarded(0, [&] { result = Api::EnsureValueFile(handle, prop); });
    return result;
}

CORVEX_EXPORT int32_t _ExpDeletePFFData(EngineHandle* handle, void*) {
    return Guarded(1, [&] { Api::Delete(handle); });
}
