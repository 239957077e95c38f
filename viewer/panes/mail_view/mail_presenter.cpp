#include "viewer/panes/mail_view/mail_presenter.h"

#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/velmora_view.h"
#include "viewer/panes/mail_view/wnd_mail_header.h"

namespace velmora {

MailPresenter::MailPresenter(CListCtrlMails& list, CVelmoraView& view,
                             std::function<bool()> workerRunning, QObject* parent)
    : QObject(parent), list_(list), view_(view), workerRunning_(std::move(workerRunning)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &MailPresenter::RenderSelected);
    connect(&list_, &CListCtrlMails::MailSelected, this, &MailPresenter::OnMailSelected);
}

void MailPresenter::Fill(const MailList* mails) {
    Clear();
    list_.Fill(mails);
    list_.SelectRow(0);
}

void MailPresenter::Clear() {
    settle_.stop();
    list_.Clear();
    view_.Header().Clear();
    view_.SetAttachmentsShown(false);
    view_.Body().ShowBlank();
}

void MailPresenter::OnMailSelected(const MailEntry* mail) {
    view_.Header().ShowMail(mail);
    if (mail != nullptr) settle_.start();
}

void MailPresenter::RenderSelected() {
    if (workerRunning_ && workerRunning_()) {
        settle_.start();  // the engine is busy: try again once it may be free
        return;
    }
    const MailEntry* mail = list_.SelectedMail();
    if (mail == nullptr) return;
    const std::u16string page = NewScratchPath() + u".mht";
    if (!RenderSelectedMessage(mail, page)) {
        view_.Body().ShowBlank();
        emit MessageNotShown();
        return;
    }
    view_.Body().ShowFile(QString::fromStdU16String(page));
}

}  // namespace velmora
