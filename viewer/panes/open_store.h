// The open command's work after the user has chosen a file: check the file,
// choose and bind the engine library by the store's format version, and
// parse the store under the progress dialog. Every failure is told to the
// user through the message-box host, once, and leaves nothing loaded.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/panes/dlg_thread_status.h"

namespace velmora::panes {

// The application name, the caption of the open command's messages.
inline constexpr char16_t kApplicationTitle[] = u"Tessmora PST Viewer";

// Makes the binding for a format version; null for a version without one.
using BindingFactory = std::function<std::unique_ptr<CPFFDataParserInterFace>(std::uint16_t)>;
// Runs a worker under the progress dialog and returns when it has ended.
using ProgressRunner = std::function<void(StatusBlock*, ThreadProc)>;

struct OpenStoreContext {
    BindingFactory makeBinding;
    ProgressRunner runWorker;
    std::u16string workFolder;
};

// The factory that loads the libraries from the program's library folder.
BindingFactory LibraryBindingFactory();
// The runner that shows a CDlgThreadStatus over `parent`.
ProgressRunner DialogRunner(QWidget* parent);

// The parsed store's binding, or null when it could not be loaded.
std::unique_ptr<CPFFDataParserInterFace> OpenStoreFile(const std::u16string& storePath,
                                                       const OpenStoreContext& context);

}  // namespace velmora::panes
