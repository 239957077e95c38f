#include "viewer/data/binding/pff_library_parser.h"

#include <cstdint>

#include "viewer/data/mail_access/value_file_sources.h"

namespace velmora {
namespace {

// No library exports these two; the operations take the missing-export path.
constexpr char kSaveMailBodyExport[] = "_ExpSaveMailBody";
constexpr char kSaveAttachmentExport[] = "_ExpSaveAttachment";
using SaveWithArgFn = std::int32_t (*)(void* arg, EngineHandle* handle);

void* ArgumentFromInt(int value) {
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(value));
}

}  // namespace

CPFFLibraryDataParser::CPFFLibraryDataParser(const EngineLibraryNames& names,
                                             std::filesystem::path libraryFolder)
    : names_(names), libraryFolder_(std::move(libraryFolder)) {}

std::filesystem::path CPFFLibraryDataParser::LibraryPath() const {
    return libraryFolder_ / common::PlatformLibraryName(names_.library);
}

void* CPFFLibraryDataParser::FindExport(const char* name) {
    // Without a trusted folder nothing is loaded: a bare name would be searched for.
    if (!library_.IsLoaded() && !libraryFolder_.empty()) library_.Load(LibraryPath());
    if (!library_.IsLoaded()) return nullptr;
    void* address = library_.Find(name);
    if (address == nullptr) library_.Unload();
    return address;
}

int CPFFLibraryDataParser::Test(std::u16string storePath, std::u16string tempRoot) {
    return Call<CorvexParseTestFn>(names_.testExport, tempRoot.c_str(), storePath.c_str())
        .value_or(0);
}

int CPFFLibraryDataParser::Create(std::u16string storePath, std::u16string tempRoot,
                                  OpenStatus* status) {
    Call<CorvexCreateFn>(names_.createExport, storePath.c_str(), &handle_, tempRoot.c_str(),
                         status);
    // The handle's records name value files that are written when first
    // read: every reader of one asks through the handle's library.
    if (handle_ != nullptr && library_.IsLoaded()) {
        AddValueFileSource(
            handle_, library_.FindAs<CorvexEnsureValueFileFn>(CORVEX_ENSURE_VALUE_FILE_EXPORT));
    }
    return 0;
}

int CPFFLibraryDataParser::Parse(std::u16string storePath, std::u16string tempRoot,
                                 OpenStatus* status) {
    Call<CorvexParseFn>(names_.parseExport, storePath.c_str(), handle_, tempRoot.c_str(), status);
    return 0;
}

int CPFFLibraryDataParser::EnumRootFolder(void* arg) {
    Call<CorvexEnumRootFolderFn>("_ExpEnumRootFolder", handle_, arg);
    return 0;
}

int CPFFLibraryDataParser::EnumChildFolder(FolderEntry* folder, OpenStatus* status) {
    Call<CorvexEnumChildFolderFn>("_ExpEnumChildFolder", folder, handle_,
                                  static_cast<void*>(status));
    return 0;
}

int CPFFLibraryDataParser::EnumChildMails(FolderEntry* folder, OpenStatus* status) {
    // First index 0 and no maximum: the folder's whole message list in one call.
    return EnumChildMailsRange(folder, status, 0, 0);
}

int CPFFLibraryDataParser::EnumChildMailsRange(FolderEntry* folder, OpenStatus* status,
                                               std::uint32_t first, std::uint32_t maximum) {
    Call<CorvexEnumChildMailsFn>("_ExpEnumChildMails", folder, handle_, static_cast<void*>(status),
                                 first, maximum);
    return 0;
}

int CPFFLibraryDataParser::EnumChildMailsNext(FolderEntry* folder, void* arg) {
    Call<CorvexEnumChildMailsNextFn>("_ExpEnumChildMailsNext", folder, handle_, arg);
    return 0;
}

int CPFFLibraryDataParser::SaveMailBody(void* arg) {
    Call<SaveWithArgFn>(kSaveMailBodyExport, arg, handle_);
    return 0;
}

int CPFFLibraryDataParser::SaveAttachment(void* arg) {
    Call<SaveWithArgFn>(kSaveAttachmentExport, arg, handle_);
    return 0;
}

CPFFLibraryDataParser::~CPFFLibraryDataParser() {
    // The library goes with the binding; its export must not be asked again.
    RemoveValueFileSource(handle_);
}

int CPFFLibraryDataParser::DeletePFFData(OpenStatus* status) {
    RemoveValueFileSource(handle_);
    // Only a call that reached the library releases the handle.
    if (Call<CorvexDeleteFn>("_ExpDeletePFFData", handle_, static_cast<void*>(status)))
        handle_ = nullptr;
    return 0;
}

int CPFFLibraryDataParser::SaveFolderHierarchy(std::uint32_t nidLow, std::uint32_t nidHigh,
                                               std::u16string target, int arg) {
    Call<CorvexSaveFolderHierarchyFn>("_ExpSaveFolderHierarchy", nidLow, nidHigh, target.c_str(),
                                      handle_, ArgumentFromInt(arg));
    return 0;
}

int CPFFLibraryDataParser::EnumAllFolders(OpenStatus* status) {
    Call<CorvexEnumAllFoldersFn>("_ExpEnumAllFolders", handle_, static_cast<void*>(status));
    return 0;
}

}  // namespace velmora
