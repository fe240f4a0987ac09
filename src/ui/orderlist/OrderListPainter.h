#pragma once

#include "orders/OrderEntry.h"
#include "status/OrderStatus.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <functional>

class QPainter;

namespace quillon {

class OrderListLayout;
class ScrollBarGeometry;

// Draws the parts of the order list where the view says: the background,
// one order with what it shows expanded, and a scroll bar.
class OrderListPainter {
public:
    // The thumbnail to show for a picture, or null while there is none.
    using Thumbnails = std::function<const QImage*(const OrderEntry&, const PictureView&)>;

    OrderListPainter(QPainter& painter, const OrderListLayout& layout)
        : m_p(painter), m_layout(layout) {}

    void background(const QRectF& viewport);
    // The order whose row starts at `top`; pictures and items outside
    // 0..bottom are skipped.
    void order(int bookIndex, const OrderEntry& entry, qreal top, qreal bottom,
               const Thumbnails& thumbnails);
    void focusFrame(const QRectF& row);
    // The look of a selected order's title row.
    void selection(const QRectF& row);
    // A small label with the status's text and colour, at the right end of
    // the title row `row` (whose width is what is on screen).
    void statusLabel(const QRectF& row, OrderStatus status);
    // The label's size for the list's regular font.
    static QSizeF statusLabelSize(const OrderListLayout& layout, OrderStatus status);
    void scrollBar(const ScrollBarGeometry& bar);

private:
    void text(const QFont& font, qreal ascent, qreal x, qreal top, const std::string& ansi);
    void expander(const QRectF& box, bool expanded);
    void picture(int bookIndex, const OrderEntry& entry, int index, qreal top, qreal bottom,
                 const Thumbnails& thumbnails);
    void line(qreal x1, qreal y1, qreal x2, qreal y2);
    // Outlined with the tree pen; the gradient runs left to right or top
    // to bottom.
    void gradientBox(const QRectF& box, const QColor& first, const QColor& second,
                     bool leftToRight);

    QPainter& m_p;
    const OrderListLayout& m_layout;
};

} // namespace quillon
