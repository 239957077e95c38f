// The message body's own popup: the text of a message can be copied and its
// links' addresses taken, and nothing else — no navigation, no page tools.
#pragma once

#include <QString>
#include <QUrl>

class QMenu;
class QWebEnginePage;
class QWidget;

namespace velmora {

// The popup for a right-click on `page`: "Copy" when text is selected,
// "Select All", and "Copy Link Address" over a link. Not shown yet; it
// deletes itself when it closes.
QMenu* NewBodyMenu(QWebEnginePage* page, const QString& selectedText, const QUrl& link,
                   QWidget* parent);

}  // namespace velmora
