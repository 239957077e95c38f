// The mail list: one row per message of the folder last enumerated, three
// icon columns and three text columns, one row selected at a time. It reads
// the engine's records in place, so it must be cleared before they go.
#pragma once

#include <QTreeView>

#include "viewer/panes/mail_list/mail_list_model.h"

namespace velmora {

class MailImageProxy;

class CListCtrlMails final : public QTreeView {
    Q_OBJECT

  public:
    explicit CListCtrlMails(QWidget* parent = nullptr);

    // Shows `mails` (null: none) with no row selected.
    void Fill(const MailList* mails);
    // Shows a search's results, with their folders, and no row selected.
    void FillFound(const std::vector<FoundMail>* found);
    void Clear() { Fill(nullptr); }
    // Selects `row` when there is one.
    void SelectRow(int row);
    // The message of the selected row; null when none is selected.
    const MailEntry* SelectedMail() const;
    const MailListModel& Mails() const { return *mails_; }
    // Whether the selection is being moved by the repeats of a held key, many
    // rows a second: only the row it comes to rest on is worth rendering.
    bool MovingByKeyRepeat() const { return keyRepeating_; }

  signals:
    // A row became selected; `mail` is null when the rows were replaced. A row
    // that stops being selected says nothing.
    void MailSelected(const MailEntry* mail);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    MailListModel* mails_;
    MailImageProxy* images_;
    bool keyRepeating_ = false;
};

}  // namespace velmora
