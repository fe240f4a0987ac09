#pragma once

#include "orders/OrderEntry.h"
#include "orders/OrderFilter.h"

#include <memory>
#include <string>
#include <vector>

namespace quillon {

// The searchable texts of many orders (number, customer, pictures' file
// names), folded to lower case and laid end to end in one block, so that
// finding a text among a hundred thousand orders is one quick pass over
// contiguous memory instead of a walk through every order's pictures.
class OrderSearchIndex {
public:
    using Orders = std::vector<std::unique_ptr<OrderEntry>>;

    void rebuild(const Orders& orders);
    // The order now at `index` was added; the ones from there on moved down.
    void insert(const Orders& orders, int index);
    void clear();
    bool isBuilt() const { return m_built; }

    // Indices of the orders that `filter` matches, in ascending order.
    std::vector<int> find(const OrderFilter& filter) const;

private:
    static void appendTextOf(const OrderEntry& order, std::string& out);

    bool m_built = false;
    std::string m_text;           // the orders' texts, each field ending in a zero byte
    std::vector<size_t> m_starts; // where each order's texts begin, and the end
};

} // namespace quillon
