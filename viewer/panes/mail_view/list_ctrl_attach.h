// The attachment strip below the header: one item per attachment of the shown
// message, in columns of 100 pixels filled top to bottom, each with the desktop's
// icon for its type. Double-click or "Open" opens an attachment: a file with
// the desktop's program, an attached message in a window of its own (the
// strip asks for that window; it does not make it). The context menu also
// saves one attachment or all of them; an item dragged away leaves as a copy.
#pragma once

#include <QListView>

#include "viewer/panes/mail_view/attachment_desktop.h"
#include "viewer/panes/mail_view/attachment_list_model.h"

namespace velmora {

class CListCtrlAttach final : public QListView {
    Q_OBJECT

  public:
    static constexpr int kColumnWidth = 100;
    // The command id of the context menu's "Open".
    static constexpr int kOpenCommand = 101;

    explicit CListCtrlAttach(QWidget* parent = nullptr);

    // Shows the attachments of `mail` (null: none); nothing is selected.
    void Fill(const MailEntry* mail);
    void Clear() { Fill(nullptr); }
    const AttachmentListModel& Rows() const { return *rows_; }

    // Opens attachment `row`; a row that is not there does nothing.
    void OpenItem(int row);
    // Runs a command of the context menu on the selection: kOpenCommand opens the first item.
    void RunCommand(int command);
    void SaveSelectedAs();
    void SaveAll();
    void SetDesktop(AttachmentDesktop desktop) { desktop_ = std::move(desktop); }

  signals:
    // The user opened an attached message that the store's data yields.
    void MessageOpenRequested(const MailEntry* message);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Enter opens the selected attachment, as a double-click does.
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Shows the sideways scroll bar only when the columns are wider than the
    // strip: two rows fit in a strip without it, one above it.
    void FitScrollBar();
    int FirstSelectedRow() const;

    AttachmentListModel* rows_;
    AttachmentDesktop desktop_ = AttachmentDesktop::Real();
};

}  // namespace velmora
