// Where objects come from: a ProgID names either a component in a shared
// library of the program's own library folder or a factory registered in
// process. Libraries are loaded by full path, never through a search path, and
// stay loaded while the program runs, since their objects may outlive any caller.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "automation/dispatch.h"
#include "common/dynamic_library.h"

namespace velmora::messaging {

// The ProgID of the session object that rebuilds and saves messages.
inline constexpr char16_t kMessageSessionProgId[] = u"Redemption.RDOSession";
// The library that holds it, as a base name for PlatformLibraryName().
inline constexpr char kMessagingLibraryName[] = "VelmoraMessaging";

// The entry point every component library exports under this name. Returns
// true with the new object; false with an error text, or with an empty text
// when it has no class of that ProgID.
inline constexpr char kCreateObjectExport[] = "VelmoraCreateObject";
using CreateObjectFn = bool (*)(const char16_t* progId, DispatchPtr* object, std::u16string* error);

enum class CreateOutcome {
    Created,
    NotAvailable,  // no class under the ProgID, or its library cannot be loaded
    Failed,        // the class exists but creating the object raised an error
};

class ComponentRegistry {
  public:
    using Factory = std::function<bool(DispatchPtr& object, std::u16string& error)>;

    static ComponentRegistry& Instance();

    void RegisterLibrary(const std::u16string& progId, const std::string& libraryBaseName);
    void RegisterFactory(const std::u16string& progId, Factory factory);
    void Unregister(const std::u16string& progId);
    // The folder component libraries are loaded from; ProgramLibraryFolder() unless set.
    void SetLibraryFolder(std::filesystem::path folder);

    CreateOutcome Create(const std::u16string& progId, DispatchPtr& object, std::u16string& error);

  private:
    ComponentRegistry();
    CreateOutcome CreateFromLibrary(const std::u16string& progId, const std::string& baseName,
                                    DispatchPtr& object, std::u16string& error);
    const common::DynamicLibrary* LoadedLibrary(const std::string& baseName);

    struct Entry {
        std::string libraryBaseName;
        Factory factory;
    };
    std::mutex mutex_;
    std::map<std::u16string, Entry> entries_;
    std::map<std::filesystem::path, std::unique_ptr<common::DynamicLibrary>> libraries_;
    std::filesystem::path libraryFolder_;
};

}  // namespace velmora::messaging
