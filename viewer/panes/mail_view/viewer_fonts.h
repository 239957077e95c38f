// The mail view's two fonts: semibold Verdana with a cell 13 pixels high for
// the labels ("Subject:", "Attachments: ") and 9-point Verdana for what the
// message says. Where the desktop has no Verdana, its nearest sans-serif font
// stands in.
#pragma once

#include <QFont>

class QLabel;
class QWidget;

namespace velmora {

QFont ViewerLabelFont();
QFont ViewerValueFont();
// Gives a label of the view the label font and its grey text on white.
void StyleViewerLabel(QLabel& label);
// Paints the background of `widget` white, whatever colour the look gives windows.
void FillWhite(QWidget& widget);

}  // namespace velmora
