// Loading an engine library by file name from the program's own library folder
// and finding its exports by name. Never searches the current directory or an
// inherited search path, so a planted library cannot be picked up.
#pragma once

#include <filesystem>
#include <string>

namespace common {

class DynamicLibrary {
  public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads the library at exactly `path`. On failure returns false and keeps the
    // loader's message in Error().
    bool Load(const std::filesystem::path& path);
    void Unload();
    bool IsLoaded() const { return handle_ != nullptr; }

    // The address of the export `name`, or null.
    void* Find(const char* name) const;
    template <typename Fn>
    Fn FindAs(const char* name) const {
        return reinterpret_cast<Fn>(Find(name));
    }

    const std::string& Error() const { return error_; }

  private:
    void* handle_ = nullptr;
    std::string error_;
};

// The platform's file name of an engine library: libCorvex64.so here, Corvex64.dll on Windows.
std::string PlatformLibraryName(const std::string& baseName);

// An export of the running program itself (or of a library it loaded before),
// or null: how a library finds a service its host program offers.
void* FindProgramSymbol(const char* name);

// The folder the engine libraries are installed in, beside the running program.
std::filesystem::path ProgramLibraryFolder();

}  // namespace common
