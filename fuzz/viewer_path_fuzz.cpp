// Feeds arbitrary bytes to the viewer as a store file and runs its whole path
// over them, from the bytes to the rendered page (viewer_path_walk.h). Each
// input gets a folder of this process's own (input_folder.h), the working
// folder included, removed afterwards.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "automation/component_registry.h"
#include "engine/storage/engine_message.h"
#include "fuzz/input_folder.h"
#include "fuzz/viewer_path_walk.h"
#include "viewer/data/work_folder/work_folder.h"

extern "C" bool VelmoraCreateObject(const char16_t* progId, velmora::messaging::DispatchPtr* object,
                                    std::u16string* error);

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr std::size_t kMaxInputSize = 4u << 20;

// What the walks produced, kept so that none of them is optimised away.
std::size_t sink = 0;

// The component is a library the viewer loads by name; here it is compiled in
// and handed to the registry as an in-process factory. Engine messages, which
// the viewer shows in boxes, are dropped.
void InstallOnce() {
    static const bool installed = [] {
        messaging::ComponentRegistry::Instance().RegisterFactory(
            messaging::kMessageSessionProgId,
            [](messaging::DispatchPtr& object, std::u16string& error) {
                return VelmoraCreateObject(messaging::kMessageSessionProgId, &object, &error);
            });
        corvex::SetEngineMessageHandler([](std::string_view, std::string_view) {});
        return true;
    }();
    (void)installed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInputSize) return 0;
    InstallOnce();
    const fuzz::InputFolder input("viewer-fuzz");
    const fs::path store = input.WriteStore(data, size);
    const WorkFolderScope work(common::PathToUtf16(input.Folder("work")));
    if (!work.Ready()) return 0;
    sink += fuzz::ViewerPathWalk(fuzz::ViewerPathLimits{}, input.Folder("out")).Run(store);
    return 0;
}
