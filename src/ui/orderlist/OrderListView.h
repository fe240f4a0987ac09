#pragma once

#include "orders/ThumbnailCache.h"
#include "orders/ThumbnailLoader.h"
#include "status/OrderStatus.h"
#include "ui/orderlist/OrderListLayout.h"
#include "ui/orderlist/ScrollBarGeometry.h"
#include "ui/orderlist/SmoothScroll.h"

#include <QTimer>
#include <QWidget>
#include <string>

namespace quillon {

class OrderBook;
class PopupMenu;
class StatusStore;
struct StatusChange;

// The order list: the book's orders as a painted three-level tree (order,
// picture, product item) with thumbnails, two painted scroll bars, expander
// boxes toggled by the mouse or the keyboard, and a context menu on an
// order's number. Only the rows on screen are painted, and a thumbnail is
// made when its picture first comes into view. What the user asks of an
// order (its summary or folder) goes out as signals for the window.
class OrderListView : public QWidget {
    Q_OBJECT
public:
    // Pictures are decoded to fit this square; the frames are smaller.
    static constexpr int kThumbnailBox = 64;
    // The context menu's width and items.
    static constexpr qreal kMenuWidth = 120;

    explicit OrderListView(const OrderBook& book, QWidget* parent = nullptr);
    ~OrderListView() override;

    void setLargeFont(bool large);
    // Shows each order's status from `store` and follows its changes.
    void setStatuses(const StatusStore& store);
    // Shows only the orders whose status `filter` lets through (with the
    // find text).
    void setStatusFilter(StatusFilter filter);
    // Orders chosen with the mouse (click, Ctrl-click, Shift-click), as
    // book indices in ascending order.
    std::vector<int> selectedOrders() const;
    // Shows only the orders whose number, customer or a picture's name
    // contains `text`, whatever the case; an empty text shows all.
    void setFilter(const QString& text);
    // Readies the search of every order's texts, so that the first typed
    // letter finds as quickly as the others (done by the first search
    // otherwise).
    void prepareFind();
    // Moves the vertical thumb to the end of its track (once the view
    // shows, when it is not shown yet).
    void scrollToEnd();
    // Moves the content up by `delta` pixels (down when negative).
    void scrollBy(qreal delta);
    // Scrolls by `distance` over the next ticks of the animated scroll.
    void animateScroll(int distance);
    // A thumbnail made elsewhere (with the order's summary) for the picture
    // at `path`.
    void seedThumbnail(const QString& path, const QImage& thumbnail);

    // The view's own geometry, in its coordinates.
    const OrderListLayout& rows() const { return m_layout; }
    const ScrollBarGeometry& verticalBar() const { return m_vbar; }
    bool verticalBarShown() const { return m_bars.vertical; }
    bool horizontalBarShown() const { return m_bars.horizontal; }
    qreal verticalOffset() const { return m_vbar.offset(); }
    qreal horizontalOffset() const { return m_hbar.offset(); }
    // The part of the view the rows are drawn in (less the shown bars).
    QRectF rowArea() const;
    QRectF orderBox(int row) const;
    QRectF titleBox(int row) const;
    QRectF pictureBox(int row, int picture) const;
    QRectF thumbnailFrame(int row, int picture) const;
    // The shown row the keyboard works on, or -1.
    int focusRow() const;
    PopupMenu& popup() const { return *m_popup; }
    const ThumbnailCache& thumbnails() const { return m_thumbnails; }
    bool isAnimating() const { return m_smooth.isRunning(); }

signals:
    // Double click on an order's number, or "Show summary" from its menu.
    void summaryRequested(const std::string& folder, const std::string& orderNumber);
    // "Show folder" from an order's menu.
    void folderRequested(const std::string& folder);
    // A status for the selected orders (or the one under the menu or the
    // keyboard's focus), from the menu or Ctrl+1 ... Ctrl+6.
    void statusRequested(const std::vector<quillon::OrderKey>& orders, quillon::OrderStatus status);
    // "Tell the customer again" from an order's menu.
    void tellAgainRequested(const quillon::OrderKey& order);
    // The number of orders of some status may have changed.
    void statusCountsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    enum class Drag { None, Vertical, Horizontal };
    struct Hit {
        int row = -1;
        int picture = -1; // -1: the order itself
    };

    void ordersReset();
    void orderInserted(int index);
    void updateLayout();
    bool pressOnBar(ScrollBarGeometry& bar, QPointF point);
    Hit expanderAt(QPointF point) const;
    int titleAt(QPointF point) const;
    void toggle(Hit hit);
    void openMenu(int row, QPointF point);
    void menuChosen(int choice);
    void select(int row, Qt::KeyboardModifiers modifiers);
    // The selected orders, or the order at `fallback` (a book index) when
    // none is selected.
    std::vector<OrderKey> targets(int fallback) const;
    // Every order's status from the store, matched with the book at once.
    void takeAllStatuses();
    void statusesCommitted(const std::vector<StatusChange>& changes);
    void animationTick();
    void moveFocus(int row);
    void keepRowInView(int row);
    void scrollVertically(qreal offset);
    void scrollHorizontally(qreal offset);
    void thumbnailMade(const QString& path, const QImage& image);

    const OrderBook& m_book;
    OrderListLayout m_layout;
    ScrollBarGeometry m_vbar{ScrollBarGeometry::Orientation::Vertical};
    ScrollBarGeometry m_hbar{ScrollBarGeometry::Orientation::Horizontal};
    ScrollBarPresence m_bars;
    Drag m_drag = Drag::None;
    qreal m_grab = 0;
    SmoothScroll m_smooth;
    QTimer m_smoothTimer;
    PopupMenu* m_popup;
    std::string m_menuFolder;
    std::string m_menuNumber;
    int m_menuIndex = -1;
    const StatusStore* m_statuses = nullptr;
    std::vector<char> m_selected; // per book index
    int m_anchor = -1;            // book index a Shift-click extends from
    int m_focus = -1;             // book index of the keyboard's order
    bool m_endWhenShown = false;
    ThumbnailCache m_thumbnails;
    ThumbnailLoader m_loader{kThumbnailBox};
};

} // namespace quillon
