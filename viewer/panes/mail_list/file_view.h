// The "Mail List" pane's content: the mail list inset by one pixel inside a
// thin frame.
#pragma once

#include <QWidget>

namespace velmora {

class CListCtrlMails;

class CFileView final : public QWidget {
    Q_OBJECT

  public:
    explicit CFileView(QWidget* parent = nullptr);

    CListCtrlMails& List() { return *list_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CListCtrlMails* list_;
};

}  // namespace velmora
