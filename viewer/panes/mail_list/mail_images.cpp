#include "viewer/panes/mail_list/mail_images.h"

#include <QPainter>
#include <QPixmap>
#include <array>

#include "viewer/panes/mail_list/mail_list_model.h"

namespace velmora {
namespace {

constexpr int kSide = 16;

enum class Glyph { Envelope, OpenEnvelope, Clip, Mark, Arrow, Dot };

struct ImageLook {
    Glyph glyph;
    QColor color;
};

// Drawn rather than shipped: the pictures stay crisp at any scale and need
// no resource files.
void DrawGlyph(QPainter& painter, Glyph glyph) {
    switch (glyph) {
        case Glyph::Envelope:
            painter.drawRect(2, 4, 12, 8);
            painter.drawPolyline(QPolygon({QPoint(2, 4), QPoint(8, 9), QPoint(14, 4)}));
            break;
        case Glyph::OpenEnvelope:
            painter.drawRect(2, 6, 12, 7);
            painter.drawPolyline(QPolygon({QPoint(2, 6), QPoint(8, 2), QPoint(14, 6)}));
            break;
        case Glyph::Clip:
            painter.drawRoundedRect(5, 2, 6, 12, 3, 3);
            painter.drawLine(8, 5, 8, 11);
            break;
        case Glyph::Mark:
            painter.drawLine(8, 2, 8, 10);
            painter.drawPoint(8, 13);
            break;
        case Glyph::Arrow:
            painter.drawLine(8, 2, 8, 13);
            painter.drawPolyline(QPolygon({QPoint(4, 9), QPoint(8, 13), QPoint(12, 9)}));
            break;
        case Glyph::Dot:
            break;  // normal importance: nothing to point out
    }
}

QIcon Paint(const ImageLook& look) {
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look.color, 1.5));
    DrawGlyph(painter, look.glyph);
    return QIcon(pixmap);
}

const std::array<QIcon, MailListModel::kImageCount>& Images() {
    // In the order of MailListModel::Image.
    static const std::array<QIcon, MailListModel::kImageCount> images = {
        Paint({Glyph::OpenEnvelope, QColor(120, 120, 130)}),
        Paint({Glyph::Envelope, QColor(20, 60, 160)}),
        Paint({Glyph::Clip, QColor(60, 60, 60)}),
        Paint({Glyph::Dot, QColor(60, 60, 60)}),
        Paint({Glyph::Envelope, QColor(60, 60, 60)}),
        Paint({Glyph::Arrow, QColor(30, 90, 200)}),
        Paint({Glyph::Mark, QColor(200, 30, 30)}),
        Paint({Glyph::Clip, QColor(60, 60, 60)}),
        Paint({Glyph::Mark, QColor(60, 60, 60)}),
    };
    return images;
}

}  // namespace

QIcon MailImage(int index) {
    if (index < 0 || index >= MailListModel::kImageCount) return {};
    return Images()[static_cast<std::size_t>(index)];
}

}  // namespace velmora
