// The "Edit" popup of the mail view's own surface: the view holds nothing to
// cut, copy or paste there, so its three entries show disabled. The header's
// fields keep their own menus, from which their text can be copied.
#pragma once

#include <QPoint>

class QMenu;
class QWidget;

namespace velmora {

// Opens the popup at `globalPos` without waiting for it; it deletes itself
// when it closes.
QMenu* PopUpEditMenu(QWidget* parent, const QPoint& globalPos);

}  // namespace velmora
