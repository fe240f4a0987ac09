#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace quillon {

// One of the order list's painted scroll bars: its parts, and the
// arithmetic that ties the thumb's place in the track to the scroll offset.
// Every move sets the thumb first and derives the offset from it.
class ScrollBarGeometry {
public:
    enum class Orientation { Vertical, Horizontal };
    enum class Part { None, FirstButton, SecondButton, Track, Thumb };

    static constexpr qreal kWidth = 16;
    static constexpr qreal kStep = 50; // an arrow button moves the thumb this far
    // A thumb is never shorter than the bar is wide, so that it can be seen
    // and grabbed in a list of many thousands of orders.
    static constexpr qreal kMinThumb = 16;

    explicit ScrollBarGeometry(Orientation orientation) : m_orientation(orientation) {}

    // Places the bar and sets what it scrolls: `content` seen through
    // `visible` (both along the bar). The offset is kept where it can be.
    void setGeometry(const QRectF& bar, qreal content, qreal visible);
    bool isVertical() const { return m_orientation == Orientation::Vertical; }

    qreal offset() const { return m_offset; }
    qreal maximumOffset() const { return m_range; }
    void setOffset(qreal offset);
    void setThumbPosition(qreal position);
    qreal thumbPosition() const { return m_thumbPos; }
    qreal thumbLength() const { return m_thumbLength; }
    qreal trackLength() const { return m_trackLength; }
    void stepBackward() { setThumbPosition(m_thumbPos - kStep); }
    void stepForward() { setThumbPosition(m_thumbPos + kStep); }

    QRectF bar() const { return m_bar; }
    QRectF firstButton() const;
    QRectF secondButton() const;
    QRectF track() const;
    QRectF thumb() const;
    // Centred marks: 4 x 2 on the buttons of a vertical bar (2 x 4 on a
    // horizontal one), a 4 x 4 grip on a thumb longer than 8; else empty.
    QRectF firstMark() const { return mark(firstButton()); }
    QRectF secondMark() const { return mark(secondButton()); }
    QRectF grip() const;
    Part partAt(QPointF point) const;
    // The pointer's place along the bar.
    qreal along(QPointF point) const { return isVertical() ? point.y() : point.x(); }

private:
    QRectF span(qreal from, qreal length) const;
    QRectF mark(const QRectF& button) const;
    qreal barStart() const { return isVertical() ? m_bar.top() : m_bar.left(); }

    Orientation m_orientation;
    QRectF m_bar;
    qreal m_trackLength = 0;
    qreal m_thumbLength = 0;
    qreal m_thumbPos = 0;
    qreal m_range = 0; // content less visible
    qreal m_offset = 0;
};

// Which bars a viewport of `viewport` needs for content of `content`.
struct ScrollBarPresence {
    bool vertical = false;
    bool horizontal = false;
};
ScrollBarPresence scrollBarsFor(QSizeF viewport, QSizeF content);

} // namespace quillon
