#include "viewer/panes/gui_message_host.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace velmora::panes {

void GuiMessageBoxHost::Show(const std::u16string& caption, const std::u16string& text) {
    const QString captionText = QString::fromStdU16String(caption);
    const QString messageText = QString::fromStdU16String(text);
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return;
    if (QThread::currentThread() == application->thread()) {
        Present(captionText, messageText);
        return;
    }
    QMetaObject::invokeMethod(
        application, [&] { Present(captionText, messageText); }, Qt::BlockingQueuedConnection);
}

void GuiMessageBoxHost::Present(const QString& caption, const QString& text) {
    QMessageBox::warning(QApplication::activeWindow(), caption, text);
}

}  // namespace velmora::panes
