// The central view: the selected message's header block, its attachment
// strip, and its body. A window of an attached message holds one as well.
#pragma once

#include <QWidget>

#include "engine/interface/corvex_engine.h"

class QLabel;

namespace velmora {

class BodyDisplay;
class CListCtrlAttach;
class CWndMailHeader;

class CVelmoraView final : public QWidget {
    Q_OBJECT

  public:
    explicit CVelmoraView(QWidget* parent = nullptr);

    CWndMailHeader& Header() { return *header_; }
    BodyDisplay& Body() { return *body_; }
    CListCtrlAttach& Attachments() { return *attachments_; }
    // Shows or hides the attachment strip; the body moves below or above it.
    void SetAttachmentsShown(bool shown);

    // Shows `mail`'s header and attachments (null: none, the strip hidden).
    void ShowMail(const MailEntry* mail);
    // The message shown now; null when none is.
    const MailEntry* ShownMail() const { return shownMail_; }
    // Renders `mail`'s body into a page file and shows it; when it cannot be
    // rendered, the body goes blank and the result is false.
    bool ShowBody(const MailEntry* mail);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // On the view's surface and the header's background; with a message
    // shown, it offers the message's properties as well.
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void Relayout();

    CWndMailHeader* header_;
    QLabel* attachmentsLabel_;
    CListCtrlAttach* attachments_;
    BodyDisplay* body_;
    const MailEntry* shownMail_ = nullptr;
};

}  // namespace velmora
