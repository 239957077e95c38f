#include "viewer/app/app_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace velmora::app {

QImage DrawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit square and scaled, so every size keeps its proportions.
    painter.scale(size / 64.0, size / 64.0);

    // The folder: a tab and a body.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2f, 0x6f, 0xb5));
    painter.drawRoundedRect(QRectF(4, 10, 24, 10), 3, 3);
    painter.setBrush(QColor(0x3f, 0x8a, 0xd8));
    painter.drawRoundedRect(QRectF(4, 15, 56, 43), 4, 4);

    // The envelope: a white sheet with its flap.
    const QRectF sheet(14, 24, 36, 24);
    painter.setPen(QPen(QColor(0x1d, 0x3f, 0x66), 2));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    QPainterPath flap;
    flap.moveTo(sheet.topLeft());
    flap.lineTo(sheet.center().x(), sheet.top() + 13);
    flap.lineTo(sheet.topRight());
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int size : kAppIconSizes) icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
    return icon;
}

}  // namespace velmora::app
