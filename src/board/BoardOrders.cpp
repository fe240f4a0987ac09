#include "board/BoardOrders.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace quillon {

namespace {

auto sortKey(const OrderEntry& order) {
    return std::tie(order.received, order.orderNumber, order.folder);
}

bool earlier(const std::unique_ptr<OrderEntry>& a, const std::unique_ptr<OrderEntry>& b) {
    return sortKey(*a) < sortKey(*b);
}

} // namespace

std::string BoardOrders::idOf(const OrderKey& order) {
    // FNV-1a over the three fields, each ended by a zero byte.
    uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](const std::string& text) {
        for (const char c : text) {
            hash ^= static_cast<unsigned char>(c);
            hash *= 1099511628211ull;
        }
        hash *= 1099511628211ull;
    };
    mix(order.orderNumber);
    mix(std::to_string(order.received));
    mix(order.folder);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string BoardOrders::idOf(const OrderEntry& order) {
    return idOf(keyOf(order));
}

std::unique_ptr<OrderEntry> BoardOrders::copyOf(const OrderEntry& order) {
    auto copy = std::make_unique<OrderEntry>();
    copy->customer = order.customer;
    copy->orderNumber = order.orderNumber;
    copy->folder = order.folder;
    copy->paymentStatus = order.paymentStatus;
    copy->itemCount = order.itemCount;
    copy->paymentCode = order.paymentCode;
    copy->amount = order.amount;
    copy->received = order.received;
    copy->pictures = order.pictures;
    return copy;
}

void BoardOrders::replace(Orders orders) {
    std::sort(orders.begin(), orders.end(), earlier);
    m_byId.clear();
    m_orders.clear();
    m_orders.reserve(orders.size());
    for (auto& order : orders)
        if (m_byId.emplace(idOf(*order), order.get()).second)
            m_orders.push_back(std::move(order));
    m_search.rebuild(m_orders);
    matchStatuses();
    ++m_version;
}

void BoardOrders::replaceStatuses(std::unordered_map<std::string, OrderStatus> statuses) {
    m_statusById = std::move(statuses);
    matchStatuses();
    ++m_version;
}

void BoardOrders::matchStatuses() {
    m_status.clear();
    for (const auto& [id, status] : m_statusById)
        if (const OrderEntry* order = find(id))
            m_status.emplace(order, status);
}

void BoardOrders::setStatus(const std::string& id, OrderStatus status) {
    const OrderEntry* order = find(id);
    if (status == OrderStatus::New) {
        m_statusById.erase(id);
        m_status.erase(order);
    } else {
        m_statusById.insert_or_assign(id, status);
        if (order)
            m_status.insert_or_assign(order, status);
    }
    ++m_version;
}

OrderStatus BoardOrders::statusOf(const OrderEntry& order) const {
    const auto found = m_status.find(&order);
    return found == m_status.end() ? OrderStatus::New : found->second;
}

bool BoardOrders::add(std::unique_ptr<OrderEntry> order) {
    const std::string id = idOf(*order);
    if (!m_byId.emplace(id, order.get()).second)
        return false;
    if (const auto status = m_statusById.find(id); status != m_statusById.end())
        m_status.emplace(order.get(), status->second);
    const auto place = std::upper_bound(m_orders.begin(), m_orders.end(), order, earlier);
    const int index = int(place - m_orders.begin());
    m_orders.insert(place, std::move(order));
    if (m_search.isBuilt())
        m_search.insert(m_orders, index);
    else
        m_search.rebuild(m_orders);
    ++m_version;
    return true;
}

const OrderEntry* BoardOrders::find(const std::string& id) const {
    const auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : it->second;
}

std::optional<BoardOrders::Page> BoardOrders::page(const OrderFilter& filter, const Keep& keep,
                                                   const std::string& before, size_t limit) const {
    size_t end = m_orders.size();
    if (!before.empty()) {
        const OrderEntry* after = find(before);
        if (!after)
            return std::nullopt;
        end = size_t(std::lower_bound(m_orders.begin(), m_orders.end(), sortKey(*after),
                                      [](const std::unique_ptr<OrderEntry>& o, const auto& key) {
                                          return sortKey(*o) < key;
                                      }) -
                     m_orders.begin());
    }
    Page page;
    const auto take = [&](size_t i) {
        const OrderEntry& order = *m_orders[i];
        if (keep && !keep(order))
            return;
        ++page.total;
        if (i < end && page.orders.size() < limit)
            page.orders.push_back(&order);
    };
    if (filter.empty()) {
        if (!keep) {
            // Every order matches: only the page itself is walked.
            page.total = m_orders.size();
            for (size_t i = end; i-- > 0 && page.orders.size() < limit;)
                page.orders.push_back(m_orders[i].get());
            return page;
        }
        for (size_t i = m_orders.size(); i-- > 0;)
            take(i);
        return page;
    }
    const std::vector<int> found = m_search.find(filter);
    for (auto it = found.rbegin(); it != found.rend(); ++it)
        take(size_t(*it));
    return page;
}

} // namespace quillon
