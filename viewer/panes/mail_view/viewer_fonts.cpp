#include "viewer/panes/mail_view/viewer_fonts.h"

namespace velmora {
namespace {

QFont Verdana() {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

QFont ViewerLabelFont() {
    QFont font = Verdana();
    font.setPixelSize(13);
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont ViewerValueFont() {
    QFont font = Verdana();
    font.setPointSize(9);
    return font;
}

}  // namespace velmora
