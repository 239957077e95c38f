// The central view: the selected message's header block, the place of its
// attachment strip, and its body.
#pragma once

#include <QWidget>

class QLabel;
class QListWidget;

namespace velmora {

class BodyDisplay;
class CWndMailHeader;

class CVelmoraView final : public QWidget {
    Q_OBJECT

  public:
    explicit CVelmoraView(QWidget* parent = nullptr);

    CWndMailHeader& Header() { return *header_; }
    BodyDisplay& Body() { return *body_; }
    QListWidget& Attachments() { return *attachments_; }
    // Shows or hides the attachment strip; the body moves below or above it.
    void SetAttachmentsShown(bool shown);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // On the view's surface and the header's background.
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void Relayout();

    CWndMailHeader* header_;
    QLabel* attachmentsLabel_;
    QListWidget* attachments_;
    BodyDisplay* body_;
};

}  // namespace velmora
