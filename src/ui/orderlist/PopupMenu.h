#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

namespace quillon {

// The order list's drawn context menu. It opens over its parent at a
// point, kept inside given bounds, and closes at the next click: on an
// item that item is chosen, anywhere else the choice is -1.
class PopupMenu : public QWidget {
    Q_OBJECT
public:
    explicit PopupMenu(QWidget* parent);

    // `anchor` and `bounds` are in the parent's coordinates. The menu is
    // at least `width` wide and as wide as its longest text; a text "-" is
    // a separator, and what follows a tab is shown at the right (a
    // shortcut).
    void open(const QStringList& texts, QPointF anchor, const QRectF& bounds, qreal width);
    bool isOpen() const { return isVisible(); }
    // Closes it as a click beside it does: the choice is -1.
    void dismiss() { close(-1); }

    // The menu's rectangle and its items' text boxes, in the parent's
    // coordinates.
    QRectF menuRect() const { return m_menu; }
    QRectF itemBox(int index) const;
    int hoveredItem() const { return m_hovered; }

    // Where a menu of `size` opening at `anchor` goes: moved up and left
    // as far as it must to stay inside `bounds`, but never past their top
    // or left edge.
    static constexpr char kSeparator[] = "-";
    static QRectF placement(QPointF anchor, QSizeF size, const QRectF& bounds);

signals:
    void chosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int itemAt(QPointF parentPoint) const;
    void setHovered(int index);
    void close(int choice);

    QFont m_font;
    qreal m_rowHeight = 0;
    QStringList m_texts;
    // Each item's top in the menu, and the menu's height.
    std::vector<qreal> m_tops;
    QRectF m_menu;
    int m_hovered = -1;
};

} // namespace quillon
