#include "viewer/panes/mail_list/message_save_command.h"

#include <QFileDialog>

#include "common/path_text.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_writer/message_file.h"
#include "viewer/data/mail_writer/output_names.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"

namespace velmora {
namespace {

QString AskForPath(QWidget* parent, const QString& offeredName) {
    return QFileDialog::getSaveFileName(parent, QObject::tr("Save Message As"), offeredName,
                                        QObject::tr("Mail messages (*.eml);;All Files (*)"));
}

}  // namespace

MessageSaveCommand::MessageSaveCommand(CListCtrlMails& list, WorkerRunning workerRunning,
                                       QWidget* parent)
    : QObject(parent),
      list_(list),
      workerRunning_(std::move(workerRunning)),
      parent_(parent),
      action_(new QAction(tr("Save Message &As..."), this)),
      chooser_(&AskForPath) {
    action_->setObjectName("SaveMessageAs");
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action_->setStatusTip(tr("Save the selected message as a standard mail file (.eml)"));
    action_->setEnabled(list_.SelectedMail() != nullptr);
    connect(&list_, &CListCtrlMails::MailSelected, action_,
            [this](const MailEntry* mail) { action_->setEnabled(mail != nullptr); });
    connect(action_, &QAction::triggered, this, &MessageSaveCommand::Save);
    list_.addAction(action_);
    list_.setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MessageSaveCommand::Save() {
    const MailEntry* mail = list_.SelectedMail();
    if (mail == nullptr) return;
    if (workerRunning_ && workerRunning_()) {
        emit Reported(tr("Wait until the store has been read, then save the message again"));
        return;
    }
    const QString offered = QString::fromStdU16String(MessageFileName(MailSubject(mail)));
    const QString path = chooser_(parent_, offered);
    if (path.isEmpty()) return;
    const std::filesystem::path target = common::PathFromUtf16(path.toStdU16String());
    OutputFailure failure;
    // The dialog has asked before a file is replaced.
    if (WriteMessageFile(*mail, target, true, failure)) {
        emit Reported(tr("Message saved as %1").arg(path));
        return;
    }
    ShowMessageBox(
        kErrorCaption,
        (tr("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(failure.reason.c_str())))
            .toStdU16String());
}

}  // namespace velmora
