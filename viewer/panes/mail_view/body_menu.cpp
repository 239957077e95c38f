#include "viewer/panes/mail_view/body_menu.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>
#include <QWebEnginePage>

namespace velmora {
namespace {

QAction* AddEntry(QMenu* menu, const QString& text, const char* name,
                  QKeySequence::StandardKey key) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(key);
    return action;
}

}  // namespace

QMenu* NewBodyMenu(QWebEnginePage* page, const QString& selectedText, const QUrl& link,
                   QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->setObjectName("BodyPopup");
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (!selectedText.isEmpty()) {
        QObject::connect(AddEntry(menu, QObject::tr("&Copy"), "BodyCopy", QKeySequence::Copy),
                         &QAction::triggered, page,
                         [page] { page->triggerAction(QWebEnginePage::Copy); });
    }
    QObject::connect(
        AddEntry(menu, QObject::tr("Select &All"), "BodySelectAll", QKeySequence::SelectAll),
        &QAction::triggered, page, [page] { page->triggerAction(QWebEnginePage::SelectAll); });
    if (link.isValid() && !link.isEmpty()) {
        menu->addSeparator();
        QAction* copyLink = menu->addAction(QObject::tr("Copy &Link Address"));
        copyLink->setObjectName("BodyCopyLink");
        // The address itself, as the link holds it: never the text it shows.
        const QString address = link.toString(QUrl::FullyEncoded);
        QObject::connect(copyLink, &QAction::triggered, menu,
                         [address] { QGuiApplication::clipboard()->setText(address); });
    }
    return menu;
}

}  // namespace velmora
