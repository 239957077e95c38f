// What the attachment strip asks of the desktop and of the user: open a file
// with its default program, confirm running one, pick a file or folder to save
// into, confirm replacing a file. The windowed program uses the real desktop
// and dialogs; tests put their own in to see what would have happened.
#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace velmora {

struct AttachmentDesktop {
    // Opens the file with the desktop's program for it; false when none could.
    std::function<bool(const QUrl& file)> openUrl;
    // Asks whether to open `file`, which may run as a program; "No" is the default.
    std::function<bool(QWidget* parent, const QString& file)> confirmRun;
    // Asks where to save one file; empty when the user cancelled.
    std::function<QString(QWidget* parent, const QString& suggested)> saveFileName;
    // Asks for the folder to save every attachment into; empty when cancelled.
    std::function<QString(QWidget* parent)> saveFolder;
    // Asks whether to replace the existing `file`; "No" is the default.
    std::function<bool(QWidget* parent, const QString& file)> confirmReplace;

    static AttachmentDesktop Real();
};

}  // namespace velmora
