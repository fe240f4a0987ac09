#pragma once

#include "status/OrderStatus.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The status of every order that is not New, sorted as the order book sorts
// its orders (by number, then received time and folder), so that a whole
// book is matched in one pass and one order is found by halving. The texts
// of all rows share one buffer: a copy is two block copies, and a table of
// 100,000 rows goes away at once.
class StatusTable {
public:
    using Orders = std::vector<std::unique_ptr<OrderEntry>>;

    size_t size() const { return m_rows.size(); }
    OrderKey keyAt(size_t row) const;
    OrderStatus statusAt(size_t row) const { return m_rows[row].status; }

    // New for an order without a row.
    OrderStatus statusOf(const OrderKey& order) const;
    // The status of each of `orders`, which are sorted by order number.
    std::vector<OrderStatus> statusesOf(const Orders& orders) const;

    // Adds a row for an order that has none; sorted() puts the table in
    // order once all are added.
    void add(std::string_view orderNumber, uint32_t received, std::string_view folder,
             OrderStatus status);
    void sort();
    // Gives `orders` the status; New takes their rows out.
    void set(const std::vector<OrderKey>& orders, OrderStatus status);

private:
    struct Row {
        size_t text = 0; // the order number, then the folder
        uint32_t numberSize = 0;
        uint32_t folderSize = 0;
        uint32_t received = 0;
        OrderStatus status = OrderStatus::New;
    };
    struct Key {
        std::string_view number;
        uint32_t received;
        std::string_view folder;
        auto operator<=>(const Key&) const = default;
    };
    Key keyOf(const Row& row) const;
    // The first row whose key is not below `key`.
    size_t lowerBound(const Key& key) const;
    // Drops the texts of rows that are gone, once they are half the buffer.
    void compact();

    std::vector<Row> m_rows;
    std::string m_texts;
    size_t m_liveText = 0;
};

} // namespace quillon
