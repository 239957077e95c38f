// Where the main window first stands when no earlier run saved its place:
// three quarters of the screen's free area each way, in its middle. The
// window is then maximised; where nothing maximises it, it still has room
// for the folder tree, the mail list and a message.
#pragma once

#include <QRect>

namespace velmora::app {

QRect FirstFrameGeometry(const QRect& available);

}  // namespace velmora::app
