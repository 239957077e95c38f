#include "viewer/panes/store_search/search_bar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora::panes {

StoreSearchBar::StoreSearchBar(QWidget* parent)
    : QWidget(parent), field_(new QLineEdit(this)), allStores_(new QCheckBox(this)) {
    setObjectName("SearchBar");
    setAccessibleName(tr("Search"));
    field_->setObjectName("SearchField");
    field_->setAccessibleName(tr("Find in store"));
    field_->setPlaceholderText(tr("Find, e.g. from:anna subject:budget date:2009-01-01.."));
    field_->setClearButtonEnabled(true);
    field_->installEventFilter(this);
    allStores_->setObjectName("SearchAllStores");
    allStores_->setText(tr("All open stores"));
    allStores_->setAccessibleName(allStores_->text());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field_, 1);
    layout->addWidget(allStores_);

    connect(field_, &QLineEdit::returnPressed, this, [this] {
        if (!field_->text().trimmed().isEmpty())
            emit SearchRequested(field_->text(), allStores_->isChecked());
    });
    // Emptied by hand or by the clear button.
    connect(field_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty()) emit SearchEnded();
    });
}

void StoreSearchBar::FocusField() {
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

bool StoreSearchBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // Clearing a field with text says so through textChanged.
        if (field_->text().isEmpty()) {
            emit SearchEnded();
        } else {
            field_->clear();
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* WithSearchBarAbove(StoreSearchBar* bar, QWidget* list, QWidget* parent) {
    auto* content = new QWidget(parent);
    content->setObjectName("MailListWithSearch");
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(bar);
    layout->addWidget(list, 1);
    return content;
}

}  // namespace velmora::panes
