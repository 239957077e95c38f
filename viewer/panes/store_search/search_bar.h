// The search field above the mail list: a query and whether it goes to every
// open store. Enter asks for a search; Esc, or emptying the field, asks to
// go back to the folder.
#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace velmora::panes {

class StoreSearchBar final : public QWidget {
    Q_OBJECT

  public:
    explicit StoreSearchBar(QWidget* parent = nullptr);

    QLineEdit& Field() { return *field_; }
    QCheckBox& AllStores() { return *allStores_; }
    // Puts the keyboard in the field with its text selected.
    void FocusField();

  signals:
    void SearchRequested(const QString& query, bool allStores);
    void SearchEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* field_;
    QCheckBox* allStores_;
};

// A pane content of the bar above `list`.
QWidget* WithSearchBarAbove(StoreSearchBar* bar, QWidget* list, QWidget* parent);

}  // namespace velmora::panes
