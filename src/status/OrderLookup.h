#pragma once

#include "status/OrderStatus.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace quillon {

// Where the order `key` names stands in a list sorted by order number (the
// order book's); -1 when it is not there.
inline int indexOfOrder(const std::vector<std::unique_ptr<OrderEntry>>& orders,
                        const OrderKey& key) {
    auto at =
        std::lower_bound(orders.begin(), orders.end(), key.orderNumber,
                         [](const std::unique_ptr<OrderEntry>& order, const std::string& number) {
                             return order->orderNumber < number;
                         });
    for (; at != orders.end() && (*at)->orderNumber == key.orderNumber; ++at)
        if ((*at)->received == key.received && (*at)->folder == key.folder)
            return int(at - orders.begin());
    return -1;
}

} // namespace quillon
