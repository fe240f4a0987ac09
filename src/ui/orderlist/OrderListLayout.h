#pragma once

#include "orders/OrderBook.h"
#include "orders/OrderFilter.h"
#include "orders/OrderSearchIndex.h"
#include "status/OrderStatus.h"
#include "ui/orderlist/OrderListFonts.h"

#include <QRectF>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quillon {

// Where every row of the order list lies, without drawing any: the list is
// a column of title rows (B + 4 high) and detail rows (R high), so an
// order's place follows from the number of each kind above it. Keeps the
// view-only state (expanded orders and pictures) in step with the book's
// inserts and resets, and the shown orders in step with the find filter.
//
// Coordinates are the content's own: (0, 0) is the top left of the first
// row, before any scrolling.
class OrderListLayout {
public:
    using Orders = OrderBook::Orders;

    explicit OrderListLayout(bool largeFont = false);

    const OrderListFonts& fonts() const { return *m_fonts; }
    void setLargeFont(bool large, const Orders& orders);

    // Following the book: every state is dropped on a reset; an insert
    // moves the state of the orders after it along. Each order comes with
    // its status (none: New).
    void reset(const Orders& orders, const std::vector<OrderStatus>& statuses = {});
    void insert(const Orders& orders, int index, OrderStatus status = OrderStatus::New);
    // Shows only the orders that match; an empty filter shows all.
    void setFilter(const Orders& orders, OrderFilter filter);
    const OrderFilter& filter() const { return m_filter; }
    void prepareFind(const Orders& orders);

    // Each order's status, kept here so that the status choice filters
    // quickly.
    OrderStatus status(int bookIndex) const { return m_states[size_t(bookIndex)].status; }
    // One status per order of the book.
    void setStatuses(const Orders& orders, const std::vector<OrderStatus>& statuses);
    // New statuses for some orders: book index and status.
    void setStatuses(const Orders& orders, const std::vector<std::pair<int, OrderStatus>>& changed);
    // Shows only the orders whose status the choice lets through, among
    // those the find text lets through.
    void setStatusFilter(const Orders& orders, StatusFilter filter);
    const StatusFilter& statusFilter() const { return m_statusFilter; }
    // How many orders of the book have each status.
    const std::array<int, kOrderStatuses.size()>& statusCounts() const { return m_statusCounts; }

    // Shown orders, top to bottom, and the book index of each.
    int shownCount() const { return int(m_shown.size()); }
    int bookIndex(int row) const { return m_shown[size_t(row)]; }
    // The shown row of a book index, or -1 when it is filtered out.
    int rowOf(int bookIndex) const;

    bool isExpanded(int bookIndex) const { return m_states[size_t(bookIndex)].expanded; }
    bool isPictureExpanded(int bookIndex, int picture) const;
    // Toggle an order or one of its pictures; entries without pictures or
    // items stay as they are (false). Collapsing an order collapses its
    // pictures too.
    bool toggleOrder(const Orders& orders, int row);
    bool togglePicture(const Orders& orders, int row, int picture);

    qreal titleHeight() const { return m_fonts->boldHeight() + 4; }
    qreal detailHeight() const { return m_fonts->regularHeight(); }
    qreal contentHeight() const { return rowTop(shownCount()); }
    qreal contentWidth() const { return m_contentWidth; }

    // Top of a shown row (of the space below the last one for shownCount()).
    qreal rowTop(int row) const;
    qreal rowHeight(int row) const { return rowTop(row + 1) - rowTop(row); }
    // The shown row that covers y, or -1.
    int rowAt(qreal y) const;

    // Parts of an order whose row starts at `top`.
    QRectF orderBox(qreal top) const;
    QRectF titleBox(const OrderEntry& order, qreal top) const;
    qreal titleX() const { return m_fonts->boldHeight() + 6; }
    // Top of a picture's first detail row inside an expanded order at `top`.
    qreal pictureTop(int bookIndex, const OrderEntry& order, int picture, qreal top) const;
    qreal pictureHeight(int bookIndex, const OrderEntry& order, int picture) const;
    QRectF pictureBox(qreal top) const;
    QRectF thumbnailFrame(qreal top) const;
    qreal captionX() const { return thumbnailFrame(0).right() + 2; }
    qreal quantityX() const { return 42 + detailHeight(); }
    qreal descriptionX() const { return quantityX() + 36; }

private:
    // Small, as a million orders have one each.
    struct OrderState {
        bool expanded = false;
        float width = 0;        // right edge of its widest text
        int32_t detailRows = 0; // while expanded
        // The pictures' expanded flags, made when one is first expanded.
        std::unique_ptr<std::vector<bool>> pictures;
        bool pictureExpanded(size_t picture) const {
            return pictures && picture < pictures->size() && (*pictures)[picture];
        }
        OrderStatus status = OrderStatus::New;
    };
    struct Rows {
        int64_t titles = 0;
        int64_t details = 0;
    };

    qreal heightOf(Rows rows) const;
    void measure(const OrderEntry& order, OrderState& state) const;
    // Measures an order again after a toggle; `before` are its rows until then.
    void refreshOrder(const Orders& orders, int row, Rows before);
    void rebuildShown(const Orders& orders);
    // The rows above each shown order, and the widest shown order.
    void rebuildRows();
    void updateContentWidth();
    Rows rowsOf(const OrderState& state) const;

    std::unique_ptr<OrderListFonts> m_fonts;
    std::vector<OrderState> m_states; // one per order of the book
    std::array<int, kOrderStatuses.size()> m_statusCounts{};
    OrderFilter m_filter;
    StatusFilter m_statusFilter;
    OrderSearchIndex m_index;
    std::vector<int> m_shown;  // book indices of the shown orders
    std::vector<Rows> m_above; // rows above each shown order, and the total
    qreal m_contentWidth = 0;
};

} // namespace quillon
