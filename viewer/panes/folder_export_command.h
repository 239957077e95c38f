// The folder tree's Export Folder...: the chosen folder (with or without its
// subfolders) written as mbox files or .eml files below a folder the user
// picks, on the worker under the progress dialog, which counts the messages
// written; Cancel stops after the message being written, and every file that
// is left is whole.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "viewer/data/mail_writer/folder_conversion.h"
#include "viewer/panes/open_store.h"

class QWidget;

namespace velmora::panes {

struct ExportChoice {
    MailFormat format = MailFormat::kMbox;
    bool subfolders = true;
    QString directory;
};

// Asks how and where to export `folderName`; none when the user cancels.
using ExportChooser =
    std::function<std::optional<ExportChoice>(QWidget* parent, const QString& folderName)>;

// The dialog: format, subfolders, then the target folder.
std::optional<ExportChoice> AskExportChoice(QWidget* parent, const QString& folderName);

// Exports `folder` of the store bound by `binding` as `choice` says, the
// work run by `runWorker`. Returns the line for the status bar; a file that
// cannot be written is also shown in a message box.
QString ExportFolder(CPFFDataParserInterFace& binding, FolderEntry* folder,
                     const ExportChoice& choice, const ProgressRunner& runWorker);

}  // namespace velmora::panes
