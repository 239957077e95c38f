// The mail view's two fonts: semibold Verdana for the labels ("Subject:",
// "Attachments: ") and 9-point Verdana for what the message says. Where the
// desktop has no Verdana, its nearest sans-serif font stands in.
#pragma once

#include <QFont>

namespace velmora {

QFont ViewerLabelFont();
QFont ViewerValueFont();

}  // namespace velmora
