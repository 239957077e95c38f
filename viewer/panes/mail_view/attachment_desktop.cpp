#include "viewer/panes/mail_view/attachment_desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace velmora {
namespace {

bool AskNoByDefault(QWidget* parent, const QString& title, const QString& text) {
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

bool ConfirmRun(QWidget* parent, const QString& file) {
    return AskNoByDefault(
        parent, QObject::tr("Open Attachment"),
        QObject::tr("\"%1\" may be a program or a script. Opening it may run it, and "
                    "with it whatever the sender put in it.\n\nOpen it anyway?")
            .arg(QFileInfo(file).fileName()));
}

bool ConfirmReplace(QWidget* parent, const QString& file) {
    return AskNoByDefault(
        parent, QObject::tr("Save Attachment"),
        QObject::tr("\"%1\" exists already.\n\nReplace it?").arg(QDir::toNativeSeparators(file)));
}

QString SaveFileName(QWidget* parent, const QString& suggested) {
    // Replacing is asked by the strip itself, the same way for every save.
    return QFileDialog::getSaveFileName(parent, QObject::tr("Save As"),
                                        QDir::home().filePath(suggested), QString(), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString SaveFolder(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, QObject::tr("Save All Attachments"),
                                             QDir::homePath());
}

}  // namespace

AttachmentDesktop AttachmentDesktop::Real() {
    return {[](const QUrl& file) { return QDesktopServices::openUrl(file); }, ConfirmRun,
            SaveFileName, SaveFolder, ConfirmReplace};
}

}  // namespace velmora
