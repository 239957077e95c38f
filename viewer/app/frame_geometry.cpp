#include "viewer/app/frame_geometry.h"

namespace velmora::app {

QRect FirstFrameGeometry(const QRect& available) {
    const QSize size(available.width() * 3 / 4, available.height() * 3 / 4);
    QRect frame(QPoint(), size);
    frame.moveCenter(available.center());
    return frame;
}

}  // namespace velmora::app
