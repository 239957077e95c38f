// What the three engine bindings share: the library is loaded on first use
// from one trusted folder, each export is found by name on every call, and a
// missing export releases the library again.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/dynamic_library.h"
#include "viewer/data/binding/pff_data_parser.h"

namespace velmora {

// The names that differ between the libraries.
struct EngineLibraryNames {
    const char* library;  // base name, e.g. "Corvex64"
    const char* testExport;
    const char* createExport;
    const char* parseExport;
};

class CPFFLibraryDataParser : public CPFFDataParserInterFace {
  public:
    ~CPFFLibraryDataParser() override;
    int Test(std::u16string storePath, std::u16string tempRoot) override;
    int Create(std::u16string storePath, std::u16string tempRoot, OpenStatus* status) override;
    int Parse(std::u16string storePath, std::u16string tempRoot, OpenStatus* status) override;
    int EnumRootFolder(void* arg) override;
    int EnumChildFolder(FolderEntry* folder, OpenStatus* status) override;
    int EnumChildMails(FolderEntry* folder, OpenStatus* status) override;
    int EnumChildMailsRange(FolderEntry* folder, OpenStatus* status, std::uint32_t first,
                            std::uint32_t maximum) override;
    int EnumChildMailsNext(FolderEntry* folder, void* arg) override;
    int SaveMailBody(void* arg) override;
    int SaveAttachment(void* arg) override;
    int DeletePFFData(OpenStatus* status) override;
    int SaveFolderHierarchy(std::uint32_t nidLow, std::uint32_t nidHigh, std::u16string target,
                            int arg) override;
    int EnumAllFolders(OpenStatus* status) override;

    EngineHandle* Handle() const override { return handle_; }
    bool LibraryLoaded() const { return library_.IsLoaded(); }
    const EngineLibraryNames& Names() const { return names_; }
    // Where the library is loaded from.
    std::filesystem::path LibraryPath() const;

  protected:
    CPFFLibraryDataParser(const EngineLibraryNames& names, std::filesystem::path libraryFolder);

  private:
    // Loads the library when needed and finds `name`; null when either fails,
    // after releasing the library when only the export is missing.
    void* FindExport(const char* name);

    // Calls export `name` as a function of type Fn; nothing when it is not there.
    template <typename Fn, typename... Args>
    std::optional<std::int32_t> Call(const char* name, Args... args) {
        void* address = FindExport(name);
        if (address == nullptr) return std::nullopt;
        return reinterpret_cast<Fn>(address)(args...);
    }

    EngineHandle* handle_ = nullptr;
    common::DynamicLibrary library_;
    EngineLibraryNames names_;
    std::filesystem::path libraryFolder_;
};

}  // namespace velmora
