#include "ui/orderlist/ScrollBarGeometry.h"

#include <algorithm>

namespace quillon {

void ScrollBarGeometry::setGeometry(const QRectF& bar, qreal content, qreal visible) {
    m_bar = bar;
    const qreal length = isVertical() ? bar.height() : bar.width();
    m_trackLength = std::max<qreal>(0, length - 2 * kWidth);
    m_range = std::max<qreal>(0, content - visible);
    const qreal share = content > 0 ? m_trackLength * visible / content : m_trackLength;
    m_thumbLength = std::min(m_trackLength, std::max(kMinThumb, share));
    setOffset(m_offset);
}

void ScrollBarGeometry::setOffset(qreal offset) {
    const qreal free = m_trackLength - m_thumbLength;
    if (m_range <= 0 || free <= 0) {
        m_thumbPos = 0;
        m_offset = 0;
        return;
    }
    m_thumbPos = free * offset / m_range;
    // A thumb past either end of the track is put at that end, and the
    // offset follows it.
    if (m_thumbPos <= 0) {
        m_thumbPos = 0;
        m_offset = 0;
    } else if (m_thumbPos >= free) {
        m_thumbPos = free;
        m_offset = m_range;
    } else {
        m_offset = offset;
    }
}

void ScrollBarGeometry::setThumbPosition(qreal position) {
    const qreal free = std::max<qreal>(0, m_trackLength - m_thumbLength);
    m_thumbPos = std::clamp<qreal>(position, 0, free);
    // At the end of the track exactly at the end of the content.
    m_offset = free <= 0 ? 0 : m_thumbPos == free ? m_range : m_range * m_thumbPos / free;
}

QRectF ScrollBarGeometry::span(qreal from, qreal length) const {
    if (isVertical())
        return {m_bar.left(), barStart() + from, m_bar.width(), length};
    return {barStart() + from, m_bar.top(), length, m_bar.height()};
}

QRectF ScrollBarGeometry::firstButton() const {
    return span(0, kWidth);
}

QRectF ScrollBarGeometry::secondButton() const {
    return span(kWidth + m_trackLength, kWidth);
}

QRectF ScrollBarGeometry::track() const {
    return span(kWidth, m_trackLength);
}

QRectF ScrollBarGeometry::thumb() const {
    return span(kWidth + m_thumbPos, m_thumbLength);
}

QRectF ScrollBarGeometry::mark(const QRectF& button) const {
    const QSizeF size = isVertical() ? QSizeF(4, 2) : QSizeF(2, 4);
    return {button.center() - QPointF(size.width() / 2, size.height() / 2), size};
}

QRectF ScrollBarGeometry::grip() const {
    if (m_thumbLength <= 8)
        return {};
    const QRectF t = thumb();
    return {t.center() - QPointF(2, 2), QSizeF(4, 4)};
}

ScrollBarGeometry::Part ScrollBarGeometry::partAt(QPointF point) const {
    if (!m_bar.contains(point))
        return Part::None;
    if (firstButton().contains(point))
        return Part::FirstButton;
    if (secondButton().contains(point))
        return Part::SecondButton;
    if (thumb().contains(point))
        return Part::Thumb;
    return Part::Track;
}

ScrollBarPresence scrollBarsFor(QSizeF viewport, QSizeF content) {
    const qreal w = viewport.width();
    const qreal h = viewport.height();
    if (h > content.height() && w > content.width())
        return {};
    if (h - ScrollBarGeometry::kWidth <= content.height())
        return {true, w - ScrollBarGeometry::kWidth <= content.width()};
    return {false, true};
}

} // namespace quillon
