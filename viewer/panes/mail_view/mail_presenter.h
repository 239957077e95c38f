// Ties the mail list to the view: the list follows the folder tree's
// enumerations, and the view shows the message the selection rests on.
// A click or a single key press renders the message at once; while a held
// key scrolls, rendering waits until the selection has stood still for a
// moment. It never runs while a worker thread holds the engine.
// Attached messages the user opens get windows of their own, which close
// with the records they show.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

#include "engine/interface/corvex_engine.h"
#include "viewer/panes/mail_list/mail_list_model.h"
#include "viewer/panes/mail_view/message_windows.h"

namespace velmora {

class CListCtrlMails;
class CVelmoraView;

class MailPresenter final : public QObject {
    Q_OBJECT

  public:
    static constexpr int kSettleMs = 100;

    // `workerRunning` tells whether a worker thread is using the engine now.
    MailPresenter(CListCtrlMails& list, CVelmoraView& view, std::function<bool()> workerRunning,
                  QObject* parent = nullptr);

    // Shows `mails` and selects the first message, if any.
    void Fill(const MailList* mails);
    // Shows a search's results the same way.
    void FillFound(const std::vector<FoundMail>* found);
    // Forgets every record: the list, the header, the strip and the body go
    // blank, and the windows of attached messages close.
    void Clear();
    const MessageWindows& AttachedMessageWindows() const { return windows_; }

  signals:
    // The selected message's body could not be rendered; the body is blank.
    void MessageNotShown();

  private:
    void OnMailSelected(const MailEntry* mail);
    void RenderSelected();

    CListCtrlMails& list_;
    CVelmoraView& view_;
    std::function<bool()> workerRunning_;
    // The message the header shows; its records live until the list is cleared.
    const MailEntry* shown_ = nullptr;
    QTimer settle_;
    MessageWindows windows_;
};

}  // namespace velmora
