#include "ui/orderlist/OrderListLayout.h"

#include "ui/orderlist/OrderListTexts.h"

#include <algorithm>
#include <numeric>

namespace quillon {

OrderListLayout::OrderListLayout(bool largeFont)
    : m_fonts(std::make_unique<OrderListFonts>(largeFont)), m_above(1) {}

void OrderListLayout::setLargeFont(bool large, const Orders& orders) {
    m_fonts = std::make_unique<OrderListFonts>(large);
    for (size_t i = 0; i < orders.size(); ++i)
        measure(*orders[i], m_states[i]);
    rebuildRows();
}

void OrderListLayout::reset(const Orders& orders, const std::vector<OrderStatus>& statuses) {
    m_index.clear();
    m_states.clear();
    m_states.resize(orders.size());
    m_statusCounts = {};
    for (size_t i = 0; i < orders.size(); ++i) {
        measure(*orders[i], m_states[i]);
        if (i < statuses.size())
            m_states[i].status = statuses[i];
        ++m_statusCounts[size_t(m_states[i].status)];
    }
    rebuildShown(orders);
}

void OrderListLayout::insert(const Orders& orders, int index, OrderStatus status) {
    OrderState state;
    measure(*orders[size_t(index)], state);
    state.status = status;
    ++m_statusCounts[size_t(status)];
    const bool statusShown = m_statusFilter.matches(state.status);
    m_states.insert(m_states.begin() + index, std::move(state));
    m_index.insert(orders, index);
    for (int& shown : m_shown)
        if (shown >= index)
            ++shown;
    if (statusShown && m_filter.matches(*orders[size_t(index)]))
        m_shown.insert(std::lower_bound(m_shown.begin(), m_shown.end(), index), index);
    rebuildRows();
}

void OrderListLayout::setFilter(const Orders& orders, OrderFilter filter) {
    m_filter = std::move(filter);
    rebuildShown(orders);
}

void OrderListLayout::prepareFind(const Orders& orders) {
    if (!m_index.isBuilt())
        m_index.rebuild(orders);
}

void OrderListLayout::setStatuses(const Orders& orders, const std::vector<OrderStatus>& statuses) {
    m_statusCounts = {};
    for (size_t i = 0; i < m_states.size(); ++i) {
        if (i < statuses.size())
            m_states[i].status = statuses[i];
        ++m_statusCounts[size_t(m_states[i].status)];
    }
    if (m_statusFilter.choice != StatusChoice::All)
        rebuildShown(orders);
}

void OrderListLayout::setStatuses(const Orders& orders,
                                  const std::vector<std::pair<int, OrderStatus>>& changed) {
    bool moved = false;
    for (const auto& [bookIndex, status] : changed) {
        OrderStatus& now = m_states[size_t(bookIndex)].status;
        --m_statusCounts[size_t(now)];
        ++m_statusCounts[size_t(status)];
        now = status;
        // Only these orders may come into the list or leave it.
        const auto at = std::lower_bound(m_shown.begin(), m_shown.end(), bookIndex);
        const bool shown = at != m_shown.end() && *at == bookIndex;
        const bool wanted =
            m_statusFilter.matches(status) && m_filter.matches(*orders[size_t(bookIndex)]);
        if (shown && !wanted)
            m_shown.erase(at);
        else if (!shown && wanted)
            m_shown.insert(at, bookIndex);
        moved = moved || shown != wanted;
    }
    if (moved)
        rebuildRows();
}

void OrderListLayout::setStatusFilter(const Orders& orders, StatusFilter filter) {
    m_statusFilter = filter;
    rebuildShown(orders);
}

int OrderListLayout::rowOf(int bookIndex) const {
    const auto it = std::lower_bound(m_shown.begin(), m_shown.end(), bookIndex);
    return it != m_shown.end() && *it == bookIndex ? int(it - m_shown.begin()) : -1;
}

bool OrderListLayout::isPictureExpanded(int bookIndex, int picture) const {
    return m_states[size_t(bookIndex)].pictureExpanded(size_t(picture));
}

bool OrderListLayout::toggleOrder(const Orders& orders, int row) {
    const int index = bookIndex(row);
    const OrderEntry& order = *orders[size_t(index)];
    if (order.pictures.empty())
        return false;
    OrderState& state = m_states[size_t(index)];
    const Rows before = rowsOf(state);
    state.expanded = !state.expanded;
    if (!state.expanded)
        state.pictures.reset();
    refreshOrder(orders, row, before);
    return true;
}

bool OrderListLayout::togglePicture(const Orders& orders, int row, int picture) {
    const int index = bookIndex(row);
    const OrderEntry& order = *orders[size_t(index)];
    OrderState& state = m_states[size_t(index)];
    if (!state.expanded || size_t(picture) >= order.pictures.size() ||
        order.pictures[size_t(picture)].items.empty())
        return false;
    const Rows before = rowsOf(state);
    if (!state.pictures)
        state.pictures = std::make_unique<std::vector<bool>>(order.pictures.size());
    std::vector<bool>& flags = *state.pictures;
    flags[size_t(picture)] = !flags[size_t(picture)];
    refreshOrder(orders, row, before);
    return true;
}

qreal OrderListLayout::rowTop(int row) const {
    return heightOf(m_above[size_t(row)]);
}

int OrderListLayout::rowAt(qreal y) const {
    if (y < 0 || y >= contentHeight())
        return -1;
    const auto after = std::upper_bound(m_above.begin() + 1, m_above.end(), y,
                                        [this](qreal v, const Rows& r) { return v < heightOf(r); });
    return int(after - m_above.begin()) - 1;
}

QRectF OrderListLayout::orderBox(qreal top) const {
    const qreal side = titleHeight() - 10;
    return {5, top + 5, side, side};
}

QRectF OrderListLayout::titleBox(const OrderEntry& order, qreal top) const {
    return {titleX(), top + 2, m_fonts->boldWidth(order.orderNumber), m_fonts->boldHeight()};
}

qreal OrderListLayout::pictureTop(int bookIndex, const OrderEntry& order, int picture,
                                  qreal top) const {
    qreal y = top + 3 * titleHeight();
    for (int p = 0; p < picture; ++p)
        y += pictureHeight(bookIndex, order, p);
    return y;
}

qreal OrderListLayout::pictureHeight(int bookIndex, const OrderEntry& order, int picture) const {
    const size_t items =
        isPictureExpanded(bookIndex, picture) ? order.pictures[size_t(picture)].items.size() : 0;
    return qreal(3 + items) * detailHeight();
}

QRectF OrderListLayout::pictureBox(qreal top) const {
    const qreal side = detailHeight() - 4;
    return {22, top + 2, side, side};
}

QRectF OrderListLayout::thumbnailFrame(qreal top) const {
    const qreal side = 3 * detailHeight() - 10;
    return {24 + detailHeight(), top + 3, side, side};
}

qreal OrderListLayout::heightOf(Rows rows) const {
    return qreal(rows.titles) * titleHeight() + qreal(rows.details) * detailHeight();
}

void OrderListLayout::measure(const OrderEntry& order, OrderState& state) const {
    const OrderListFonts& f = *m_fonts;
    qreal width =
        titleX() + f.boldWidth(order.orderNumber) + 4 + f.regularWidth(orderSummaryText(order));
    state.detailRows = 0;
    if (state.expanded) {
        width = std::max({width, titleX() + f.boldWidth(order.customer),
                          titleX() + f.boldWidth(receivedText(order.received))});
        for (size_t p = 0; p < order.pictures.size(); ++p) {
            const PictureView picture = order.pictures[p];
            width = std::max(width, captionX() + f.regularWidth(pictureCaption(picture)));
            state.detailRows += 3;
            if (!state.pictureExpanded(p))
                continue;
            state.detailRows += int32_t(picture.items.size());
            for (const ItemLine& item : picture.items)
                width = std::max({width, quantityX() + f.regularWidth(quantityText(item)),
                                  descriptionX() + f.regularWidth(itemDescription(item))});
        }
    }
    state.width = float(width);
}

void OrderListLayout::refreshOrder(const Orders& orders, int row, Rows before) {
    const int index = bookIndex(row);
    OrderState& state = m_states[size_t(index)];
    measure(*orders[size_t(index)], state);
    const Rows after = rowsOf(state);
    const Rows delta{after.titles - before.titles, after.details - before.details};
    for (size_t r = size_t(row) + 1; r < m_above.size(); ++r) {
        m_above[r].titles += delta.titles;
        m_above[r].details += delta.details;
    }
    updateContentWidth();
}

void OrderListLayout::rebuildShown(const Orders& orders) {
    if (m_filter.empty()) {
        m_shown.resize(orders.size());
        std::iota(m_shown.begin(), m_shown.end(), 0);
    } else {
        // Built when the user first looks for an order, then kept in step.
        prepareFind(orders);
        m_shown = m_index.find(m_filter);
    }
    if (m_statusFilter.choice != StatusChoice::All)
        std::erase_if(
            m_shown, [this](int i) { return !m_statusFilter.matches(m_states[size_t(i)].status); });
    rebuildRows();
}

void OrderListLayout::rebuildRows() {
    m_above.resize(m_shown.size() + 1);
    Rows sum;
    float width = 0;
    for (size_t r = 0; r < m_shown.size(); ++r) {
        m_above[r] = sum;
        const OrderState& state = m_states[size_t(m_shown[r])];
        const Rows rows = rowsOf(state);
        sum.titles += rows.titles;
        sum.details += rows.details;
        width = std::max(width, state.width);
    }
    m_above.back() = sum;
    m_contentWidth = width;
}

void OrderListLayout::updateContentWidth() {
    float width = 0;
    for (int i : m_shown)
        width = std::max(width, m_states[size_t(i)].width);
    m_contentWidth = width;
}

OrderListLayout::Rows OrderListLayout::rowsOf(const OrderState& state) const {
    return state.expanded ? Rows{3, state.detailRows} : Rows{1, 0};
}

} // namespace quillon
