#include "viewer/app/status_line_bar.h"

#include <QAccessible>
#include <QLabel>
#include <QPainter>
#include <QStyleOption>

namespace velmora::app {

StatusLineBar::StatusLineBar(QWidget* parent) : QStatusBar(parent), line_(new QLabel(this)) {
    setObjectName("StatusBar");
    setAccessibleName(tr("Status bar"));
    line_->setObjectName("StatusMessage");
    line_->setTextFormat(Qt::PlainText);
    // Permanent, so that a message does not hide it; stretched over the bar.
    addPermanentWidget(line_, 1);
    connect(this, &QStatusBar::messageChanged, this, &StatusLineBar::ShowMessageText);
}

void StatusLineBar::ShowMessageText(const QString& text) {
    line_->setText(text);
    // The label's name is its text: screen readers hear that it changed.
    QAccessibleEvent changed(line_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void StatusLineBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
}

}  // namespace velmora::app
