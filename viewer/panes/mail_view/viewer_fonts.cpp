#include "viewer/panes/mail_view/viewer_fonts.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QtMath>

namespace velmora {
namespace {

// The label font's height, in the desktop framework's sense of a positive
// height: the whole cell (ascent plus descent), not the em.
constexpr int kLabelCellHeight = 13;
constexpr int kValuePointSize = 9;

QFont Verdana() {
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Sizes `font` so that its cell is `cellPixels` high. The cell is a fixed
// multiple of the em for every font (about 1.2 for Verdana: an em of 10.7
// pixels for a cell of 13), so one measurement at a large size finds it for
// whichever font the desktop chose in Verdana's place.
QFont WithCellHeight(QFont font, int cellPixels) {
    constexpr int kProbePixels = 100;
    font.setPixelSize(kProbePixels);
    const QFontMetricsF probe(font);
    const qreal cell = probe.ascent() + probe.descent();
    if (cell > 0) font.setPixelSize(qMax(1, qFloor(cellPixels * kProbePixels / cell + 0.5)));
    return font;
}

}  // namespace

QFont ViewerLabelFont() {
    QFont font = Verdana();
    font.setWeight(QFont::DemiBold);
    return WithCellHeight(font, kLabelCellHeight);
}

QFont ViewerValueFont() {
    // A point size is the em's height, in the framework as here.
    QFont font = Verdana();
    font.setPointSize(kValuePointSize);
    return font;
}

void StyleViewerLabel(QLabel& label) {
    label.setFont(ViewerLabelFont());
    // White whatever the look paints behind the view.
    label.setStyleSheet(
        QStringLiteral("color: rgb(153, 153, 165); background-color: rgb(255, 255, 255);"));
}

void FillWhite(QWidget& widget) {
    widget.setAutoFillBackground(true);
    QPalette white = widget.palette();
    white.setColor(QPalette::Window, Qt::white);
    widget.setPalette(white);
}

}  // namespace velmora
