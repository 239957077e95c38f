#include "common/dynamic_library.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <system_error>

namespace common {

DynamicLibrary::~DynamicLibrary() {
    Unload();
}

#ifdef _WIN32
bool DynamicLibrary::Load(const std::filesystem::path& path) {
    Unload();
    handle_ = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (handle_ == nullptr)
        error_ = std::system_category().message(static_cast<int>(::GetLastError()));
    return handle_ != nullptr;
}

void DynamicLibrary::Unload() {
    if (handle_ != nullptr) ::FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* DynamicLibrary::Find(const char* name) const {
    return handle_ ? reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name))
                   : nullptr;
}
#else
bool DynamicLibrary::Load(const std::filesystem::path& path) {
    Unload();
    // An absolute path keeps the loader from searching anywhere else.
    const std::filesystem::path absolute = std::filesystem::absolute(path);
    handle_ = ::dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* message = ::dlerror();
        error_ = message != nullptr ? message : "cannot load library";
    }
    return handle_ != nullptr;
}

void DynamicLibrary::Unload() {
    if (handle_ != nullptr) ::dlclose(handle_);
    handle_ = nullptr;
}

void* DynamicLibrary::Find(const char* name) const {
    return handle_ ? ::dlsym(handle_, name) : nullptr;
}
#endif

std::string PlatformLibraryName(const std::string& baseName) {
#ifdef _WIN32
    return baseName + ".dll";
#else
    return "lib" + baseName + ".so";
#endif
}

std::filesystem::path ProgramLibraryFolder() {
#ifdef _WIN32
    wchar_t buffer[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return std::filesystem::path(std::wstring(buffer, length)).parent_path();
#else
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    // Without knowing where the program lies there is no trusted folder to load from.
    if (error) return {};
    // Programs live in bin/ and the engine libraries in lib/ beside it, in a build tree as
    // installed.
    return (self.parent_path().parent_path() / "lib").lexically_normal();
#endif
}

void* FindProgramSymbol(const char* name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(nullptr), name));
#else
    return ::dlsym(RTLD_DEFAULT, name);
#endif
}

}  // namespace common
