#include "ui/orderlist/OrderListPainter.h"

#include "orders/QtText.h"
#include "ui/orderlist/OrderListLayout.h"
#include "ui/orderlist/OrderListPalette.h"
#include "ui/orderlist/OrderListTexts.h"
#include "ui/orderlist/ScrollBarGeometry.h"

#include <QFontMetricsF>
#include <QPainter>

namespace quillon {

using namespace palette;

void OrderListPainter::background(const QRectF& viewport) {
    QLinearGradient fill(viewport.topLeft(), viewport.bottomLeft());
    fill.setColorAt(0, kBackgroundTop);
    fill.setColorAt(1, kBackgroundBottom);
    m_p.fillRect(viewport, fill);
    m_p.setPen(kBorder);
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(viewport.adjusted(0, 0, -1, -1));
}

void OrderListPainter::order(int bookIndex, const OrderEntry& entry, qreal top, qreal bottom,
                             const Thumbnails& thumbnails) {
    const OrderListLayout& l = m_layout;
    const OrderListFonts& f = l.fonts();
    const bool expanded = l.isExpanded(bookIndex);
    const QRectF box = l.orderBox(top);
    if (!entry.pictures.empty())
        expander(box, expanded);
    const QRectF title = l.titleBox(entry, top);
    text(f.bold(), f.boldAscent(), title.left(), title.top(), entry.orderNumber);
    text(f.regular(), f.regularAscent(), title.right() + 4, title.top(), orderSummaryText(entry));
    if (!expanded)
        return;
    const qreal step = l.titleHeight();
    text(f.bold(), f.boldAscent(), l.titleX(), top + step + 2, entry.customer);
    text(f.bold(), f.boldAscent(), l.titleX(), top + 2 * step + 2, receivedText(entry.received));

    qreal y = top + 3 * step;
    qreal lastStub = box.bottom();
    for (int p = 0; p < int(entry.pictures.size()); ++p) {
        const qreal height = l.pictureHeight(bookIndex, entry, p);
        const QRectF pictureBox = l.pictureBox(y);
        lastStub = pictureBox.center().y();
        if (y + height > 0 && y < bottom) {
            line(box.center().x(), lastStub, pictureBox.left(), lastStub);
            picture(bookIndex, entry, p, y, bottom, thumbnails);
        }
        y += height;
    }
    line(box.center().x(), box.bottom(), box.center().x(), lastStub);
}

void OrderListPainter::selection(const QRectF& row) {
    QLinearGradient fill(row.topLeft(), row.bottomLeft());
    fill.setColorAt(0, kSelectionTop);
    fill.setColorAt(1, kSelectionBottom);
    m_p.fillRect(row, fill);
    m_p.setPen(kSelectionFrame);
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(row.adjusted(0.5, 0.5, -0.5, -0.5));
}

QSizeF OrderListPainter::statusLabelSize(const OrderListLayout& layout, OrderStatus status) {
    const OrderListFonts& f = layout.fonts();
    const QString label =
        QString::fromLatin1(statusText(status).data(), qsizetype(statusText(status).size()));
    return {QFontMetricsF(f.regular()).horizontalAdvance(label) + 12, layout.titleHeight() - 6};
}

void OrderListPainter::statusLabel(const QRectF& row, OrderStatus status) {
    const QSizeF size = statusLabelSize(m_layout, status);
    const QRectF box(row.right() - size.width() - 6, row.top() + (row.height() - size.height()) / 2,
                     size.width(), size.height());
    m_p.save();
    m_p.setRenderHint(QPainter::Antialiasing);
    m_p.setPen(Qt::NoPen);
    m_p.setBrush(kStatusColours[size_t(status)]);
    m_p.drawRoundedRect(box, 3, 3);
    m_p.setPen(Qt::white);
    m_p.setFont(m_layout.fonts().regular());
    m_p.drawText(
        box, Qt::AlignCenter,
        QString::fromLatin1(statusText(status).data(), qsizetype(statusText(status).size())));
    m_p.restore();
}

void OrderListPainter::picture(int bookIndex, const OrderEntry& entry, int index, qreal top,
                               qreal bottom, const Thumbnails& thumbnails) {
    const OrderListLayout& l = m_layout;
    const OrderListFonts& f = l.fonts();
    const PictureView picture = entry.pictures[size_t(index)];
    const bool expanded = l.isPictureExpanded(bookIndex, index);
    const QRectF box = l.pictureBox(top);
    if (!picture.items.empty())
        expander(box, expanded);
    const QRectF frame = l.thumbnailFrame(top);
    if (const QImage* image = thumbnails(entry, picture); image && !image->isNull())
        m_p.drawImage(frame, *image);
    m_p.setPen(kTree);
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(frame);
    text(f.regular(), f.regularAscent(), l.captionX(), top + 2, pictureCaption(picture));
    if (!expanded)
        return;

    const qreal rowHeight = l.detailHeight();
    qreal y = top + 3 * rowHeight;
    qreal lastStub = box.bottom();
    for (const ItemLine& item : picture.items) {
        lastStub = y + rowHeight / 2;
        if (y + rowHeight > 0 && y < bottom) {
            line(box.center().x(), lastStub, l.quantityX() - 2, lastStub);
            text(f.regular(), f.regularAscent(), l.quantityX(), y, quantityText(item));
            text(f.regular(), f.regularAscent(), l.descriptionX(), y, itemDescription(item));
        }
        y += rowHeight;
    }
    line(box.center().x(), box.bottom(), box.center().x(), lastStub);
}

void OrderListPainter::focusFrame(const QRectF& row) {
    QPen pen(kTree);
    pen.setStyle(Qt::DotLine);
    m_p.setPen(pen);
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(row);
}

void OrderListPainter::scrollBar(const ScrollBarGeometry& bar) {
    // Gradients run across the bar.
    const bool vertical = bar.isVertical();
    gradientBox(bar.track(), kTrackFirst, kTrackSecond, vertical);
    for (const QRectF& part : {bar.firstButton(), bar.secondButton(), bar.thumb()})
        gradientBox(part, kButtonFirst, kButtonSecond, vertical);
    for (const QRectF& mark : {bar.firstMark(), bar.secondMark(), bar.grip()})
        if (!mark.isEmpty())
            m_p.fillRect(mark, kTree);
}

void OrderListPainter::text(const QFont& font, qreal ascent, qreal x, qreal top,
                            const std::string& ansi) {
    m_p.setFont(font);
    m_p.setPen(kText);
    m_p.drawText(QPointF(x, top + ascent), toQString(ansi));
}

void OrderListPainter::expander(const QRectF& box, bool expanded) {
    gradientBox(box, kButtonSecond, kButtonFirst, false);
    const QPointF c = box.center();
    line(box.left() + 2, c.y(), box.right() - 2, c.y());
    if (!expanded)
        line(c.x(), box.top() + 2, c.x(), box.bottom() - 2);
}

void OrderListPainter::line(qreal x1, qreal y1, qreal x2, qreal y2) {
    m_p.setPen(kTree);
    m_p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void OrderListPainter::gradientBox(const QRectF& box, const QColor& first, const QColor& second,
                                   bool leftToRight) {
    QLinearGradient fill(box.topLeft(), leftToRight ? box.topRight() : box.bottomLeft());
    fill.setColorAt(0, first);
    fill.setColorAt(1, second);
    m_p.fillRect(box, fill);
    m_p.setPen(kTree);
    m_p.setBrush(Qt::NoBrush);
    m_p.drawRect(box);
}

} // namespace quillon
