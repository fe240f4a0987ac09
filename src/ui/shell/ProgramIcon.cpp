#include "ui/shell/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quillon {

void paintProgramIcon(QPainter& p, const QRectF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 64.0, box.height() / 64.0);

    QLinearGradient tile(0, 0, 0, 64);
    tile.setColorAt(0, QColor(0x3B, 0x82, 0xC4));
    tile.setColorAt(1, QColor(0x1F, 0x4F, 0x8A));
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 13, 13);

    // The photograph, tilted a little as if laid on the counter.
    p.translate(32, 33);
    p.rotate(-8);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawRoundedRect(QRectF(-20, -15, 42, 34), 2.5, 2.5);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(-21, -17, 42, 34), 2.5, 2.5);
    const QRectF picture(-17.5, -13.5, 35, 27);
    QLinearGradient sky(0, picture.top(), 0, picture.bottom());
    sky.setColorAt(0, QColor(0x9F, 0xD3, 0xF7));
    sky.setColorAt(1, QColor(0xE4, 0xF3, 0xFD));
    p.setBrush(sky);
    p.drawRect(picture);
    p.setBrush(QColor(0xF6, 0xC2, 0x44));
    p.drawEllipse(QPointF(8, -5), 4, 4);
    QPainterPath hill;
    hill.moveTo(picture.left(), picture.bottom());
    hill.lineTo(picture.left(), 4);
    hill.cubicTo(-8, -4, -2, 2, 4, 5);
    hill.cubicTo(9, 7, 13, 1, picture.right(), 3);
    hill.lineTo(picture.right(), picture.bottom());
    hill.closeSubpath();
    p.setBrush(QColor(0x3F, 0xA3, 0x6B));
    p.drawPath(hill);
    p.restore();
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        paintProgramIcon(p, QRectF(0, 0, size, size));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace quillon
