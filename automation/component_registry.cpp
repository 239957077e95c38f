#include "automation/component_registry.h"

namespace velmora::messaging {

ComponentRegistry& ComponentRegistry::Instance() {
    static ComponentRegistry registry;
    return registry;
}

ComponentRegistry::ComponentRegistry() : libraryFolder_(common::ProgramLibraryFolder()) {
    entries_[kMessageSessionProgId] = Entry{kMessagingLibraryName, nullptr};
}

void ComponentRegistry::RegisterLibrary(const std::u16string& progId,
                                        const std::string& libraryBaseName) {
    const std::lock_guard lock(mutex_);
    entries_[progId] = Entry{libraryBaseName, nullptr};
}

void ComponentRegistry::RegisterFactory(const std::u16string& progId, Factory factory) {
    const std::lock_guard lock(mutex_);
    entries_[progId] = Entry{{}, std::move(factory)};
}

void ComponentRegistry::Unregister(const std::u16string& progId) {
    const std::lock_guard lock(mutex_);
    entries_.erase(progId);
}

void ComponentRegistry::SetLibraryFolder(std::filesystem::path folder) {
    const std::lock_guard lock(mutex_);
    libraryFolder_ = std::move(folder);
}

CreateOutcome ComponentRegistry::Create(const std::u16string& progId, DispatchPtr& object,
                                        std::u16string& error) {
    object.reset();
    error.clear();
    const std::lock_guard lock(mutex_);
    const auto found = entries_.find(progId);
    if (found == entries_.end()) return CreateOutcome::NotAvailable;
    if (!found->second.factory)
        return CreateFromLibrary(progId, found->second.libraryBaseName, object, error);
    if (found->second.factory(object, error) && object) return CreateOutcome::Created;
    object.reset();
    return error.empty() ? CreateOutcome::NotAvailable : CreateOutcome::Failed;
}

CreateOutcome ComponentRegistry::CreateFromLibrary(const std::u16string& progId,
                                                   const std::string& baseName, DispatchPtr& object,
                                                   std::u16string& error) {
    const common::DynamicLibrary* library = LoadedLibrary(baseName);
    const auto create = library ? library->FindAs<CreateObjectFn>(kCreateObjectExport) : nullptr;
    if (create == nullptr) return CreateOutcome::NotAvailable;
    if (create(progId.c_str(), &object, &error) && object) return CreateOutcome::Created;
    object.reset();
    return error.empty() ? CreateOutcome::NotAvailable : CreateOutcome::Failed;
}

const common::DynamicLibrary* ComponentRegistry::LoadedLibrary(const std::string& baseName) {
    // Without a trusted folder nothing is loaded at all.
    if (libraryFolder_.empty()) return nullptr;
    const std::filesystem::path path = libraryFolder_ / common::PlatformLibraryName(baseName);
    auto& slot = libraries_[path];
    if (!slot) {
        auto library = std::make_unique<common::DynamicLibrary>();
        if (!library->Load(path)) return nullptr;
        slot = std::move(library);
    }
    return slot.get();
}

}  // namespace velmora::messaging
