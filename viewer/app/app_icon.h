// The program's icon, drawn in code so that the window, the desktop entry and
// every installed size come from one picture: an envelope on a blue folder.
#pragma once

#include <QIcon>
#include <QImage>

namespace velmora::app {

// The sizes installed into the icon theme, in pixels.
inline constexpr int kAppIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

QImage DrawAppIcon(int size);
QIcon AppIcon();

}  // namespace velmora::app
