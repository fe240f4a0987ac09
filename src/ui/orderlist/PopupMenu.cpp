#include "ui/orderlist/PopupMenu.h"

#include "ui/orderlist/OrderListPalette.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace quillon {

using namespace palette;

PopupMenu::PopupMenu(QWidget* parent) : QWidget(parent), m_font(QStringLiteral("Tahoma")) {
    m_font.setStyleHint(QFont::SansSerif);
    m_font.setPixelSize(12);
    m_rowHeight = QFontMetricsF(m_font).lineSpacing() + 4;
    setMouseTracking(true);
    hide();
}

void PopupMenu::open(const QStringList& texts, QPointF anchor, const QRectF& bounds, qreal width) {
    m_texts = texts;
    m_hovered = -1;
    const QFontMetricsF metrics(m_font);
    for (const QString& text : texts) {
        const QStringList parts = text.split('\t');
        qreal needed = metrics.horizontalAdvance(parts.first()) + 14;
        if (parts.size() > 1)
            needed += metrics.horizontalAdvance(parts.last()) + 24;
        width = std::max(width, std::ceil(needed));
    }
    // A separator is half a row high.
    m_tops.clear();
    qreal height = 0;
    for (const QString& text : texts) {
        m_tops.push_back(height);
        height += text == kSeparator ? std::round(m_rowHeight / 2) : m_rowHeight;
    }
    m_tops.push_back(height);
    m_menu = placement(anchor, QSizeF(width, height), bounds);
    setGeometry(m_menu.toAlignedRect());
    raise();
    show();
    update();
    // A click anywhere else in the window closes it too.
    qApp->installEventFilter(this);
}

QRectF PopupMenu::itemBox(int index) const {
    const qreal top = m_tops[size_t(index)];
    return {m_menu.left() + 4, m_menu.top() + top + 2, m_menu.width() - 6,
            m_tops[size_t(index) + 1] - top - 4};
}

QRectF PopupMenu::placement(QPointF anchor, QSizeF size, const QRectF& bounds) {
    QPointF topLeft = anchor;
    if (topLeft.y() + size.height() > bounds.bottom())
        topLeft.setY(std::max(bounds.top(), bounds.bottom() - size.height()));
    if (topLeft.x() + size.width() > bounds.right())
        topLeft.setX(std::max(bounds.left(), bounds.right() - size.width()));
    return {topLeft, size};
}

void PopupMenu::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.translate(m_menu.topLeft() - QPointF(pos()));
    const QRectF menu(QPointF(0, 0), m_menu.size());
    QLinearGradient fill(menu.topLeft(), menu.bottomLeft());
    fill.setColorAt(0, kBackgroundBottom);
    fill.setColorAt(1, kBackgroundTop);
    p.fillRect(menu, fill);
    p.setPen(kTree);
    p.drawRect(menu.adjusted(0.5, 0.5, -0.5, -0.5));
    p.setFont(m_font);
    p.setPen(kText);
    for (int i = 0; i < m_texts.size(); ++i) {
        const QRectF box = itemBox(i).translated(-m_menu.topLeft());
        if (m_texts[i] == kSeparator) {
            p.setPen(kBorder);
            p.drawLine(QPointF(box.left(), box.center().y()),
                       QPointF(box.right(), box.center().y()));
            p.setPen(kText);
            continue;
        }
        if (i == m_hovered)
            p.fillRect(box, kHighlight);
        const QStringList parts = m_texts[i].split('\t');
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, parts.first());
        if (parts.size() > 1)
            p.drawText(box.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, parts.last());
    }
}

int PopupMenu::itemAt(QPointF point) const {
    for (int i = 0; i < m_texts.size(); ++i) {
        // Left and top edges belong to an item, right and bottom do not.
        const QRectF box = itemBox(i);
        if (point.x() >= box.left() && point.x() < box.right() && point.y() >= box.top() &&
            point.y() < box.bottom())
            return m_texts[i] == kSeparator ? -1 : i;
    }
    return -1;
}

void PopupMenu::setHovered(int index) {
    if (index == m_hovered)
        return;
    m_hovered = index;
    update();
}

void PopupMenu::mouseMoveEvent(QMouseEvent* event) {
    setHovered(itemAt(mapToParent(event->position())));
}

void PopupMenu::leaveEvent(QEvent*) {
    setHovered(-1);
}

void PopupMenu::mousePressEvent(QMouseEvent* event) {
    close(itemAt(mapToParent(event->position())));
    // A right click goes on to the list, which may open the menu again.
    if (event->button() == Qt::RightButton)
        event->ignore();
}

bool PopupMenu::eventFilter(QObject* watched, QEvent* event) {
    // Escape closes the menu and goes no further: in the window it would
    // mean Exit.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        dismiss();
        return true;
    }
    // Presses on the menu or on the list it belongs to are theirs to handle.
    if (event->type() == QEvent::MouseButtonPress && watched != this && watched != parentWidget() &&
        watched->isWidgetType())
        dismiss();
    return false;
}

void PopupMenu::close(int choice) {
    if (!isOpen())
        return;
    qApp->removeEventFilter(this);
    hide();
    m_texts.clear();
    m_hovered = -1;
    emit chosen(choice);
}

} // namespace quillon
