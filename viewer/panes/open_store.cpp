#include "viewer/panes/open_store.h"

#include "common/dynamic_library.h"
#include "common/path_text.h"
#include "viewer/data/binding/fresh_status.h"
#include "viewer/data/binding/pff_library_parser.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/panes/store_file_check.h"
#include "viewer/panes/worker_procs.h"

namespace velmora::panes {
namespace {

void Tell(const std::u16string& text) {
    ShowMessageBox(kApplicationTitle, text);
}

std::u16string NumberText(unsigned value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string EngineMissingText(const CPFFDataParserInterFace& binding) {
    if (const auto* library = dynamic_cast<const CPFFLibraryDataParser*>(&binding))
        return u"The store engine library " + common::PathToUtf16(library->LibraryPath()) +
               u" could not be loaded.";
    return u"The store engine could not be started.";
}

// Reads the version and makes its binding; tells the user when either fails.
std::unique_ptr<CPFFDataParserInterFace> BindingForStore(const std::u16string& storePath,
                                                         const BindingFactory& makeBinding) {
    std::uint16_t version = 0;
    OpenStatus status = FreshOpenStatus();
    if (!ReadStoreVersion(storePath, &version, &status)) {
        Tell(status.text);
        return nullptr;
    }
    std::unique_ptr<CPFFDataParserInterFace> binding;
    if (IsVersionInRange(version)) binding = makeBinding(version);
    if (!binding) Tell(u"Unsupported store format version " + NumberText(version));
    return binding;
}

void Release(CPFFDataParserInterFace& binding) {
    OpenStatus status = FreshOpenStatus();
    binding.DeletePFFData(&status);
}

}  // namespace

BindingFactory LibraryBindingFactory() {
    return [](std::uint16_t version) {
        return CreateParserForVersion(version, common::ProgramLibraryFolder());
    };
}

ProgressRunner DialogRunner(QWidget* parent) {
    return [parent](StatusBlock* block, ThreadProc proc) {
        RunUnderProgressDialog(parent, block, std::move(proc));
    };
}

std::unique_ptr<CPFFDataParserInterFace> OpenStoreFile(const std::u16string& storePath,
                                                       const OpenStoreContext& context) {
    if (const std::u16string problem = StoreFileProblem(storePath); !problem.empty()) {
        Tell(problem);
        return nullptr;
    }
    std::unique_ptr<CPFFDataParserInterFace> binding =
        BindingForStore(storePath, context.makeBinding);
    if (!binding) return nullptr;

    OpenStatus status = FreshOpenStatus();
    binding->Create(storePath, context.workFolder, &status);
    EngineHandle* handle = binding->Handle();
    // Every later step works through the handle's status block.
    if (handle == nullptr || handle->status == nullptr) {
        if (handle != nullptr) Release(*binding);
        Tell(EngineMissingText(*binding));
        return nullptr;
    }

    context.runWorker(handle->status, [&](const StatusTextSink& showText) {
        ParseThreadProc(*binding, storePath, context.workFolder, &status, showText);
    });
    if (status.code == 0) {
        Tell(status.text);
        Release(*binding);
        return nullptr;
    }
    return binding;
}

}  // namespace velmora::panes
