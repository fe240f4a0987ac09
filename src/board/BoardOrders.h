#pragma once

#include "orders/OrderEntry.h"
#include "orders/OrderFilter.h"
#include "orders/OrderSearchIndex.h"
#include "status/OrderStatus.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quillon {

// The board's own copy of the order book and of the orders' statuses, kept
// on the board's thread, so that no request ever holds the book's lock for
// longer than it takes to copy an order. Orders are kept oldest first (by
// received time, then number, then folder); pages list them newest first.
class BoardOrders {
public:
    using Orders = std::vector<std::unique_ptr<OrderEntry>>;
    using Keep = std::function<bool(const OrderEntry&)>;

    struct Page {
        size_t total = 0; // orders that match, on every page
        std::vector<const OrderEntry*> orders;
    };

    // An order's id: stable across restarts and unique even when order
    // numbers repeat after a wrap (it is made from the number, the received
    // time and the folder).
    static std::string idOf(const OrderEntry& order);
    static std::string idOf(const OrderKey& order);
    // What the board keeps of a book's entry (no thumbnails).
    static std::unique_ptr<OrderEntry> copyOf(const OrderEntry& order);

    // Replaces every order (after a load or a purge).
    void replace(Orders orders);
    // Files one order; false when it is already there.
    bool add(std::unique_ptr<OrderEntry> order);

    // The statuses that are not New, by order id, in place of those kept;
    // the orders not among them are New.
    void replaceStatuses(std::unordered_map<std::string, OrderStatus> statuses);
    void setStatus(const std::string& id, OrderStatus status);
    OrderStatus statusOf(const OrderEntry& order) const;

    size_t size() const { return m_orders.size(); }
    const OrderEntry* find(const std::string& id) const;
    // The orders that `filter` and `keep` (when set) let through, newest
    // first, after the order `before` (from the newest when empty), at most
    // `limit`. Null when `before` names no order.
    std::optional<Page> page(const OrderFilter& filter, const Keep& keep, const std::string& before,
                             size_t limit) const;
    // Changes with every change of the orders or their statuses.
    uint64_t version() const { return m_version; }

private:
    // Finds the statuses of the orders kept.
    void matchStatuses();

    Orders m_orders;
    std::unordered_map<std::string, const OrderEntry*> m_byId;
    OrderSearchIndex m_search;
    std::unordered_map<std::string, OrderStatus> m_statusById;
    // The same for the orders kept, found without making their ids.
    std::unordered_map<const OrderEntry*, OrderStatus> m_status;
    uint64_t m_version = 0;
};

} // namespace quillon
