#include "viewer/panes/mail_view/message_windows.h"

#include <QVBoxLayout>

#include "viewer/data/mail_access/record_getters.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/velmora_view.h"

namespace velmora {
namespace {

constexpr QSize kWindowSize(800, 600);

}  // namespace

CMessageWindow::CMessageWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), view_(new CVelmoraView(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with its main window, whatever attached messages are still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setObjectName("MessageWindow");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(kWindowSize);
}

MessageWindows::~MessageWindows() {
    CloseAll();
}

void MessageWindows::Open(const MailEntry* message) {
    if (message == nullptr) return;
    std::erase_if(windows_, [](const QPointer<CMessageWindow>& window) { return window.isNull(); });
    auto* window = new CMessageWindow;
    windows_.emplace_back(window);
    const QString subject = QString::fromStdU16String(MailSubject(message)).trimmed();
    window->setWindowTitle(subject.isEmpty() ? tr("(no subject)") : subject);
    connect(&window->View().Attachments(), &CListCtrlAttach::MessageOpenRequested, this,
            &MessageWindows::Open);
    window->show();
    window->View().ShowMail(message);
    window->View().ShowBody(message);
}

void MessageWindows::CloseAll() {
    // Deleted at once: the records they read may be gone before the next event.
    for (QPointer<CMessageWindow>& window : windows_) delete window.data();
    windows_.clear();
}

std::vector<CMessageWindow*> MessageWindows::Windows() const {
    std::vector<CMessageWindow*> open;
    for (const QPointer<CMessageWindow>& window : windows_) {
        if (!window.isNull()) open.push_back(window.data());
    }
    return open;
}

}  // namespace velmora
