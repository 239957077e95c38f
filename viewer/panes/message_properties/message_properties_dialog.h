// Message Properties: every property of a message, of its recipient rows and
// of its attachments in one table that sorts by any column, filters by text
// and copies its selected rows (Ctrl+C) as tab-separated lines. A value shown
// cut opens whole on a double-click.
//
// The table reads values from the engine's records on demand, so the dialog
// is application-modal: while it is open, no folder can be read again and
// free those records.
#pragma once

#include <QDialog>

#include "engine/interface/corvex_engine.h"

class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;

namespace velmora {

class PropertyTableModel;

class CMessagePropertiesDlg final : public QDialog {
    Q_OBJECT

  public:
    explicit CMessagePropertiesDlg(const MailEntry* mail, QWidget* parent = nullptr);

    QLineEdit& Filter() { return *filter_; }
    QTableView& Table() { return *table_; }
    const PropertyTableModel& Rows() const { return *rows_; }
    const QSortFilterProxyModel& Shown() const { return *shown_; }

    // Puts the selected rows on the clipboard, in the order shown, one line
    // each with the cells separated by tabs.
    void CopySelectedRows();
    // Opens the whole value of the current row in a dialog of its own.
    void ShowFullValue();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateCount();

    PropertyTableModel* rows_;
    QSortFilterProxyModel* shown_;
    QLineEdit* filter_;
    QTableView* table_;
    QLabel* count_;
};

// Opens the properties of `mail` (nothing for null) over `parent`, without
// waiting for the dialog to close; it deletes itself when it does.
CMessagePropertiesDlg* ShowMessageProperties(QWidget* parent, const MailEntry* mail);

}  // namespace velmora
