// How the message body's browser draws. The body is drawn by the processor
// into the window like any other widget, never through the graphics card:
// with its graphics drawing, every repaint of the window, even of a single
// row of the mail list, is put together again through a graphics context,
// which on a machine without a graphics card (a virtual display, a remote
// session) costs 15 to 30 ms each time and held the first paint of a clicked
// message back by most of its time. A mail page needs no graphics card.
#pragma once

#include <QtGlobal>

namespace velmora {

// Call before the application object is made. A choice the user made in the
// environment (QT_QUICK_BACKEND) is kept.
inline void ChooseBodyBrowserRendering() {
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
}

}  // namespace velmora
