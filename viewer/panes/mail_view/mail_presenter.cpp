#include "viewer/panes/mail_view/mail_presenter.h"

#include "viewer/panes/mail_list/list_ctrl_mails.h"
#include "viewer/panes/mail_view/body_display.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/velmora_view.h"

namespace velmora {

MailPresenter::MailPresenter(CListCtrlMails& list, CVelmoraView& view,
                             std::function<bool()> workerRunning, QObject* parent)
    : QObject(parent), list_(list), view_(view), workerRunning_(std::move(workerRunning)) {
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &MailPresenter::RenderSelected);
    connect(&list_, &CListCtrlMails::MailSelected, this, &MailPresenter::OnMailSelected);
    connect(&view_.Attachments(), &CListCtrlAttach::MessageOpenRequested, &windows_,
            &MessageWindows::Open);
}

void MailPresenter::Fill(const MailList* mails) {
    Clear();
    list_.Fill(mails);
    list_.SelectRow(0);
}

void MailPresenter::FillFound(const std::vector<FoundMail>* found) {
    Clear();
    list_.FillFound(found);
    list_.SelectRow(0);
}

void MailPresenter::Clear() {
    settle_.stop();
    shown_ = nullptr;
    windows_.CloseAll();
    list_.Clear();
    view_.ShowMail(nullptr);
    view_.Body().ShowBlank();
}

void MailPresenter::OnMailSelected(const MailEntry* mail) {
    shown_ = mail;
    view_.ShowMail(mail);
    // A zero wait renders on the event loop's next turn, once the input that
    // moved the selection has been handled.
    if (mail != nullptr) settle_.start(list_.MovingByKeyRepeat() ? kSettleMs : 0);
}

void MailPresenter::RenderSelected() {
    if (workerRunning_ && workerRunning_()) {
        settle_.start(kSettleMs);  // the engine is busy: try again once it may be free
        return;
    }
    // The message whose header is shown, even when its row lost the selection meanwhile.
    if (shown_ == nullptr) return;
    if (!view_.ShowBody(shown_)) emit MessageNotShown();
}

}  // namespace velmora
