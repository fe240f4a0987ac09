#include "ui/orderlist/OrderListView.h"

#include "orders/OrderBook.h"
#include "orders/QtText.h"
#include "orders/Thumbnail.h"
#include "status/OrderLookup.h"
#include "status/StatusStore.h"
#include "ui/orderlist/OrderListPainter.h"
#include "ui/orderlist/PopupMenu.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace quillon {

namespace {

// A wheel notch scrolls this many title rows.
constexpr int kWheelRows = 3;

// Finding one order in the book takes about this many steps: more changes
// than the book's orders over this are matched with the whole book at once.
constexpr size_t kOneByOneLimit = 32;

// The menu's items after "Show summary" and "Show folder": a separator,
// one per status, a separator and "Tell the customer again".
constexpr int kFirstStatusItem = 3;
constexpr int kTellAgainItem = kFirstStatusItem + int(kOrderStatuses.size()) + 1;

QString statusItem(OrderStatus status) {
    const std::string_view text = statusText(status);
    return QString::fromLatin1(text.data(), qsizetype(text.size())) +
           QStringLiteral("\tCtrl+%1").arg(int(status) + 1);
}

} // namespace

OrderListView::OrderListView(const OrderBook& book, QWidget* parent)
    : QWidget(parent), m_book(book), m_popup(new PopupMenu(this)) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_smoothTimer.setInterval(SmoothScroll::kTickMs);
    connect(&m_smoothTimer, &QTimer::timeout, this, &OrderListView::animationTick);
    connect(&book, &OrderBook::ordersReset, this, &OrderListView::ordersReset);
    connect(&book, &OrderBook::orderInserted, this, &OrderListView::orderInserted);
    connect(m_popup, &PopupMenu::chosen, this, &OrderListView::menuChosen);
    connect(&m_loader, &ThumbnailLoader::made, this, &OrderListView::thumbnailMade);
    ordersReset();
}

OrderListView::~OrderListView() = default;

void OrderListView::setLargeFont(bool large) {
    m_book.withOrders(
        [&](const OrderBook::Orders& orders) { m_layout.setLargeFont(large, orders); });
    updateLayout();
}

void OrderListView::setStatuses(const StatusStore& store) {
    m_statuses = &store;
    connect(&store, &StatusStore::opened, this, &OrderListView::takeAllStatuses);
    connect(
        &store, &StatusStore::changesCommitted, this,
        [this](quint64, const std::vector<StatusChange>& changes) { statusesCommitted(changes); });
    takeAllStatuses();
}

void OrderListView::takeAllStatuses() {
    m_book.withOrders([&](const OrderBook::Orders& orders) {
        m_layout.setStatuses(orders, m_statuses->statusesOf(orders));
    });
    updateLayout();
    emit statusCountsChanged();
}

void OrderListView::statusesCommitted(const std::vector<StatusChange>& changes) {
    if (changes.empty())
        return;
    // A change of many orders is matched with the book in one pass.
    const size_t orderCount = m_book.size();
    if (changes.size() * kOneByOneLimit > orderCount) {
        takeAllStatuses();
        return;
    }
    m_book.withOrders([&](const OrderBook::Orders& orders) {
        std::vector<std::pair<int, OrderStatus>> changed;
        for (const StatusChange& change : changes)
            if (const int index = indexOfOrder(orders, change.order); index >= 0)
                changed.emplace_back(index, change.status);
        m_layout.setStatuses(orders, changed);
    });
    updateLayout();
    emit statusCountsChanged();
}

void OrderListView::setStatusFilter(StatusFilter filter) {
    m_book.withOrders(
        [&](const OrderBook::Orders& orders) { m_layout.setStatusFilter(orders, filter); });
    updateLayout();
}

std::vector<int> OrderListView::selectedOrders() const {
    std::vector<int> selected;
    for (size_t i = 0; i < m_selected.size(); ++i)
        if (m_selected[i])
            selected.push_back(int(i));
    return selected;
}

void OrderListView::select(int row, Qt::KeyboardModifiers modifiers) {
    const int index = m_layout.bookIndex(row);
    if (modifiers & Qt::ShiftModifier && m_anchor >= 0) {
        // Every shown order between the anchor and this one.
        const int anchorRow = m_layout.rowOf(m_anchor);
        if (!(modifiers & Qt::ControlModifier))
            std::fill(m_selected.begin(), m_selected.end(), 0);
        const int from = std::min(anchorRow < 0 ? row : anchorRow, row);
        const int to = std::max(anchorRow < 0 ? row : anchorRow, row);
        for (int r = from; r <= to; ++r)
            m_selected[size_t(m_layout.bookIndex(r))] = 1;
    } else if (modifiers & Qt::ControlModifier) {
        m_selected[size_t(index)] = !m_selected[size_t(index)];
        m_anchor = index;
    } else {
        std::fill(m_selected.begin(), m_selected.end(), 0);
        m_selected[size_t(index)] = 1;
        m_anchor = index;
    }
    m_focus = index;
    update();
}

std::vector<OrderKey> OrderListView::targets(int fallback) const {
    std::vector<int> indices = selectedOrders();
    return m_book.withOrders([&](const OrderBook::Orders& orders) {
        if (indices.empty() && fallback >= 0 && size_t(fallback) < orders.size())
            indices.push_back(fallback);
        std::vector<OrderKey> keys;
        for (int i : indices)
            keys.push_back(keyOf(*orders[size_t(i)]));
        return keys;
    });
}

void OrderListView::setFilter(const QString& text) {
    OrderFilter filter(fromQString(text));
    m_book.withOrders(
        [&](const OrderBook::Orders& orders) { m_layout.setFilter(orders, std::move(filter)); });
    updateLayout();
}

void OrderListView::prepareFind() {
    m_book.withOrders([&](const OrderBook::Orders& orders) { m_layout.prepareFind(orders); });
}

void OrderListView::scrollToEnd() {
    // A view not shown yet has not got its size: it moves once it shows.
    if (!isVisible()) {
        m_endWhenShown = true;
        return;
    }
    if (!m_bars.vertical)
        return;
    m_vbar.setThumbPosition(m_vbar.trackLength() - m_vbar.thumbLength());
    update();
}

void OrderListView::scrollBy(qreal delta) {
    scrollVertically(m_vbar.offset() + delta);
}

void OrderListView::animateScroll(int distance) {
    scrollBy(m_smooth.start(distance));
    m_smoothTimer.start();
}

void OrderListView::seedThumbnail(const QString& path, const QImage& thumbnail) {
    const QSize fit = fitIntoBox(thumbnail.size(), kThumbnailBox);
    m_thumbnails.insert(path, fit == thumbnail.size() ? thumbnail
                                                      : thumbnail.scaled(fit, Qt::IgnoreAspectRatio,
                                                                         Qt::SmoothTransformation));
}

QRectF OrderListView::rowArea() const {
    return {0, 0, width() - (m_bars.vertical ? ScrollBarGeometry::kWidth : 0),
            height() - (m_bars.horizontal ? ScrollBarGeometry::kWidth : 0)};
}

QRectF OrderListView::orderBox(int row) const {
    return m_layout.orderBox(m_layout.rowTop(row))
        .translated(-horizontalOffset(), -verticalOffset());
}

QRectF OrderListView::titleBox(int row) const {
    return m_book.withOrders([&](const OrderBook::Orders& orders) {
        const OrderEntry& order = *orders[size_t(m_layout.bookIndex(row))];
        return m_layout.titleBox(order, m_layout.rowTop(row))
            .translated(-horizontalOffset(), -verticalOffset());
    });
}

QRectF OrderListView::pictureBox(int row, int picture) const {
    return m_book.withOrders([&](const OrderBook::Orders& orders) {
        const int index = m_layout.bookIndex(row);
        const qreal top =
            m_layout.pictureTop(index, *orders[size_t(index)], picture, m_layout.rowTop(row));
        return m_layout.pictureBox(top).translated(-horizontalOffset(), -verticalOffset());
    });
}

QRectF OrderListView::thumbnailFrame(int row, int picture) const {
    const QRectF box = pictureBox(row, picture);
    return m_layout.thumbnailFrame(box.top() - 2).translated(-horizontalOffset(), 0);
}

int OrderListView::focusRow() const {
    return m_focus < 0 ? -1 : m_layout.rowOf(m_focus);
}

void OrderListView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    OrderListPainter painter(p, m_layout);
    painter.background(rect());

    const QRectF area = rowArea();
    std::vector<QString> missing;
    const auto thumbnail = [&](const OrderEntry& order,
                               const PictureView& picture) -> const QImage* {
        const QString path = picturePath(order.folder, picture.fileName);
        if (path.isEmpty())
            return nullptr;
        const QImage* image = m_thumbnails.find(path);
        if (!image)
            missing.push_back(path);
        return image;
    };
    p.save();
    p.setClipRect(area);
    p.translate(-horizontalOffset(), 0);
    const qreal offset = verticalOffset();
    m_book.withOrders([&](const OrderBook::Orders& orders) {
        for (int row = std::max(0, m_layout.rowAt(offset)); row >= 0 && row < m_layout.shownCount();
             ++row) {
            const qreal top = m_layout.rowTop(row) - offset;
            if (top >= area.bottom())
                break;
            const int index = m_layout.bookIndex(row);
            const QRectF title(horizontalOffset(), top, area.width(), m_layout.titleHeight());
            if (m_selected[size_t(index)])
                painter.selection(title.adjusted(1, 0, -1, 0));
            painter.order(index, *orders[size_t(index)], top, area.bottom(), thumbnail);
            // No label says New before the database has said otherwise.
            if (m_statuses && m_statuses->isOpen())
                painter.statusLabel(title, m_layout.status(index));
        }
    });
    p.restore();
    if (const int row = focusRow(); row >= 0 && hasFocus())
        painter.focusFrame(
            QRectF(1, m_layout.rowTop(row) - offset, area.width() - 3, m_layout.titleHeight() - 1));
    if (m_bars.vertical)
        painter.scrollBar(m_vbar);
    if (m_bars.horizontal)
        painter.scrollBar(m_hbar);
    // Only what is on screen now is wanted; pictures that scrolled away
    // before their turn are not decoded.
    m_loader.request(missing);
}

void OrderListView::resizeEvent(QResizeEvent*) {
    updateLayout();
}

void OrderListView::showEvent(QShowEvent*) {
    if (std::exchange(m_endWhenShown, false))
        scrollToEnd();
}

void OrderListView::mousePressEvent(QMouseEvent* event) {
    // A click beside an open menu only closes it; a right click goes on and
    // may open it again elsewhere.
    if (m_popup->isOpen()) {
        m_popup->dismiss();
        if (event->button() != Qt::RightButton)
            return;
    }
    const QPointF point = event->position();
    if (event->button() == Qt::LeftButton) {
        if ((m_bars.vertical && pressOnBar(m_vbar, point)) ||
            (m_bars.horizontal && pressOnBar(m_hbar, point)))
            return;
        if (!rowArea().contains(point))
            return;
        if (const Hit hit = expanderAt(point); hit.row >= 0)
            toggle(hit);
        else if (const int row = titleAt(point); row >= 0)
            select(row, event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        if (const int row = titleAt(point); row >= 0)
            openMenu(row, point);
    }
}

bool OrderListView::pressOnBar(ScrollBarGeometry& bar, QPointF point) {
    switch (bar.partAt(point)) {
    case ScrollBarGeometry::Part::None:
        return false;
    case ScrollBarGeometry::Part::FirstButton:
        bar.stepBackward();
        break;
    case ScrollBarGeometry::Part::SecondButton:
        bar.stepForward();
        break;
    case ScrollBarGeometry::Part::Thumb:
        m_drag = bar.isVertical() ? Drag::Vertical : Drag::Horizontal;
        m_grab = bar.along(point) - bar.along(bar.thumb().topLeft());
        break;
    case ScrollBarGeometry::Part::Track:
        break;
    }
    update();
    return true;
}

void OrderListView::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag == Drag::None)
        return;
    ScrollBarGeometry& bar = m_drag == Drag::Vertical ? m_vbar : m_hbar;
    bar.setThumbPosition(bar.along(event->position()) - m_grab - bar.along(bar.track().topLeft()));
    update();
}

void OrderListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_drag = Drag::None;
}

void OrderListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A quick second right click is a right click of its own.
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    const int row = titleAt(event->position());
    if (row < 0)
        return;
    const auto [folder, number] = m_book.withOrders([&](const OrderBook::Orders& orders) {
        const OrderEntry& order = *orders[size_t(m_layout.bookIndex(row))];
        return std::pair(order.folder, order.orderNumber);
    });
    emit summaryRequested(folder, number);
}

void OrderListView::wheelEvent(QWheelEvent* event) {
    const QPoint pixels = event->pixelDelta();
    const QPointF steps =
        QPointF(event->angleDelta()) / 120.0 * kWheelRows * m_layout.titleHeight();
    const QPointF delta = pixels.isNull() ? steps : QPointF(pixels);
    if (delta.y() != 0)
        scrollVertically(m_vbar.offset() - delta.y());
    if (delta.x() != 0)
        scrollHorizontally(m_hbar.offset() - delta.x());
    event->accept();
}

void OrderListView::keyPressEvent(QKeyEvent* event) {
    const int count = m_layout.shownCount();
    const int row = focusRow();
    const int digit = event->key() - Qt::Key_1;
    if (m_statuses && (event->modifiers() & Qt::ControlModifier) && digit >= 0 &&
        digit < int(kOrderStatuses.size())) {
        const std::vector<OrderKey> orders = targets(m_focus);
        if (!orders.empty())
            emit statusRequested(orders, kOrderStatuses[size_t(digit)]);
        event->accept();
        return;
    }
    const qreal page = rowArea().height();
    switch (event->key()) {
    case Qt::Key_Up:
        moveFocus(row < 0 ? m_layout.rowAt(verticalOffset()) : row - 1);
        break;
    case Qt::Key_Down:
        moveFocus(row < 0 ? m_layout.rowAt(verticalOffset()) : row + 1);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // The page moves, and the focus stays at its place on the screen.
        const qreal sign = event->key() == Qt::Key_PageUp ? -1 : 1;
        const qreal screenY = row < 0 ? 0 : m_layout.rowTop(row) - verticalOffset();
        scrollVertically(verticalOffset() + sign * page);
        const qreal y = verticalOffset() + std::max<qreal>(0, screenY);
        int target = m_layout.rowAt(y);
        if (target < 0)
            target = count - 1;
        else if (m_layout.rowTop(target) < verticalOffset() && target + 1 < count)
            ++target;
        if (target >= 0)
            m_focus = m_layout.bookIndex(target);
        break;
    }
    case Qt::Key_Home:
        moveFocus(0);
        break;
    case Qt::Key_End:
        moveFocus(count - 1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (row >= 0)
            toggle({row, -1});
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void OrderListView::ordersReset() {
    m_book.withOrders([&](const OrderBook::Orders& orders) {
        m_layout.reset(orders,
                       m_statuses ? m_statuses->statusesOf(orders) : std::vector<OrderStatus>());
        m_selected.assign(orders.size(), 0);
    });
    m_focus = -1;
    m_anchor = -1;
    m_menuIndex = -1;
    emit statusCountsChanged();
    m_thumbnails.clear();
    m_loader.cancel();
    updateLayout();
}

void OrderListView::orderInserted(int index) {
    m_book.withOrders([&](const OrderBook::Orders& orders) {
        const OrderEntry& order = *orders[size_t(index)];
        m_layout.insert(orders, index, m_statuses ? m_statuses->statusOf(order) : OrderStatus::New);
    });
    m_selected.insert(m_selected.begin() + index, 0);
    if (m_focus >= index)
        ++m_focus;
    if (m_anchor >= index)
        ++m_anchor;
    if (m_menuIndex >= index)
        ++m_menuIndex;
    emit statusCountsChanged();
    updateLayout();
}

void OrderListView::updateLayout() {
    const QSizeF content(m_layout.contentWidth(), m_layout.contentHeight());
    m_bars = scrollBarsFor(size(), content);
    const QRectF area = rowArea();
    constexpr qreal w = ScrollBarGeometry::kWidth;
    m_vbar.setGeometry(m_bars.vertical ? QRectF(area.right(), 0, w, area.height()) : QRectF(),
                       content.height(), area.height());
    m_hbar.setGeometry(m_bars.horizontal ? QRectF(0, area.bottom(), area.width(), w) : QRectF(),
                       content.width(), area.width());
    update();
}

OrderListView::Hit OrderListView::expanderAt(QPointF point) const {
    const QPointF at = point + QPointF(horizontalOffset(), verticalOffset());
    const int row = m_layout.rowAt(at.y());
    if (row < 0)
        return {};
    return m_book.withOrders([&](const OrderBook::Orders& orders) -> Hit {
        const int index = m_layout.bookIndex(row);
        const OrderEntry& order = *orders[size_t(index)];
        const qreal top = m_layout.rowTop(row);
        if (m_layout.orderBox(top).contains(at))
            return {row, -1};
        if (!m_layout.isExpanded(index))
            return {};
        qreal y = m_layout.pictureTop(index, order, 0, top);
        for (int p = 0; p < int(order.pictures.size()) && y <= at.y(); ++p) {
            if (m_layout.pictureBox(y).contains(at))
                return {row, p};
            y += m_layout.pictureHeight(index, order, p);
        }
        return {};
    });
}

int OrderListView::titleAt(QPointF point) const {
    if (!rowArea().contains(point))
        return -1;
    const QPointF at = point + QPointF(horizontalOffset(), verticalOffset());
    const int row = m_layout.rowAt(at.y());
    if (row < 0)
        return -1;
    const bool hit = m_book.withOrders([&](const OrderBook::Orders& orders) {
        const OrderEntry& order = *orders[size_t(m_layout.bookIndex(row))];
        return m_layout.titleBox(order, m_layout.rowTop(row)).contains(at);
    });
    return hit ? row : -1;
}

void OrderListView::toggle(Hit hit) {
    if (hit.row < 0)
        return;
    const qreal before = m_layout.contentHeight();
    // The box that was clicked, on screen: an order's expander, or a
    // picture's thumbnail.
    const QRectF box = hit.picture < 0 ? orderBox(hit.row) : thumbnailFrame(hit.row, hit.picture);
    const bool toggled = m_book.withOrders([&](const OrderBook::Orders& orders) {
        return hit.picture < 0 ? m_layout.toggleOrder(orders, hit.row)
                               : m_layout.togglePicture(orders, hit.row, hit.picture);
    });
    if (!toggled)
        return;
    m_focus = m_layout.bookIndex(hit.row);
    updateLayout();
    const qreal growth = m_layout.contentHeight() - before;
    if (growth <= 0)
        return;
    // Scroll the new rows into view, but never the toggled box out of it.
    const qreal beyond = growth + box.bottom() - rowArea().bottom();
    const qreal limit = box.top() - (hit.picture < 0 ? 2 : 0);
    const qreal distance = std::min(beyond, limit);
    if (distance > 0)
        animateScroll(int(std::ceil(distance)));
}

void OrderListView::openMenu(int row, QPointF point) {
    m_menuIndex = m_layout.bookIndex(row);
    m_book.withOrders([&](const OrderBook::Orders& orders) {
        const OrderEntry& order = *orders[size_t(m_menuIndex)];
        m_menuFolder = order.folder;
        m_menuNumber = order.orderNumber;
    });
    QStringList items{QStringLiteral("Show summary"), QStringLiteral("Show folder")};
    if (m_statuses) {
        // The menu's status commands work on the selection the order is in.
        if (!m_selected[size_t(m_menuIndex)])
            select(row, Qt::NoModifier);
        items << PopupMenu::kSeparator;
        for (OrderStatus status : kOrderStatuses)
            items << statusItem(status);
        items << PopupMenu::kSeparator << QStringLiteral("Tell the customer again");
    }
    m_popup->open(items, point, QRectF(rect()), kMenuWidth);
}

void OrderListView::menuChosen(int choice) {
    const int status = choice - kFirstStatusItem;
    if (choice == 0) {
        emit summaryRequested(m_menuFolder, m_menuNumber);
    } else if (choice == 1) {
        emit folderRequested(m_menuFolder);
    } else if (status >= 0 && status < int(kOrderStatuses.size())) {
        emit statusRequested(targets(m_menuIndex), kOrderStatuses[size_t(status)]);
    } else if (choice == kTellAgainItem) {
        for (const OrderKey& order : targets(m_menuIndex))
            emit tellAgainRequested(order);
    }
}

void OrderListView::animationTick() {
    scrollBy(m_smooth.tick());
    if (!m_smooth.isRunning())
        m_smoothTimer.stop();
}

void OrderListView::moveFocus(int row) {
    if (m_layout.shownCount() == 0)
        return;
    row = std::clamp(row, 0, m_layout.shownCount() - 1);
    m_focus = m_layout.bookIndex(row);
    keepRowInView(row);
    update();
}

void OrderListView::keepRowInView(int row) {
    const qreal top = m_layout.rowTop(row);
    const qreal bottom = top + m_layout.titleHeight();
    const qreal visible = rowArea().height();
    if (top < verticalOffset())
        scrollVertically(top);
    else if (bottom > verticalOffset() + visible)
        scrollVertically(bottom - visible);
}

void OrderListView::scrollVertically(qreal offset) {
    m_vbar.setOffset(offset);
    update();
}

void OrderListView::scrollHorizontally(qreal offset) {
    m_hbar.setOffset(offset);
    update();
}

void OrderListView::thumbnailMade(const QString& path, const QImage& image) {
    m_thumbnails.insert(path, image);
    update();
}

} // namespace quillon
