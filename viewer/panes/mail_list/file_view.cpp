#include "viewer/panes/mail_list/file_view.h"

#include <QPainter>
#include <QVBoxLayout>

#include "viewer/panes/mail_list/list_ctrl_mails.h"

namespace velmora {

CFileView::CFileView(QWidget* parent) : QWidget(parent), list_(new CListCtrlMails(this)) {
    setObjectName("MailListPane");
    setAccessibleName(tr("Mail List"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(list_);
}

void CFileView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace velmora
