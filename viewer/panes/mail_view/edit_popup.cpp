#include "viewer/panes/mail_view/edit_popup.h"

#include <QKeySequence>
#include <QMenu>

namespace velmora {

QMenu* PopUpEditMenu(QWidget* parent, const QPoint& globalPos) {
    auto* menu = new QMenu(QObject::tr("Edit"), parent);
    menu->setObjectName("EditPopup");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const struct {
        const char* text;
        QKeySequence::StandardKey key;
    } entries[] = {{"Cu&t", QKeySequence::Cut},
                   {"&Copy", QKeySequence::Copy},
                   {"&Paste", QKeySequence::Paste}};
    for (const auto& entry : entries) {
        QAction* action = menu->addAction(QObject::tr(entry.text));
        action->setShortcut(entry.key);
        action->setEnabled(false);
    }
    menu->popup(globalPos);
    return menu;
}

}  // namespace velmora
