#include "status/OrderStatus.h"

namespace quillon {

namespace {

struct StatusNames {
    std::string_view key;
    std::string_view text;
};

constexpr std::array<StatusNames, 6> kNames = {{{"new", "New"},
                                                {"in-production", "In production"},
                                                {"ready", "Ready for pick-up"},
                                                {"picked-up", "Picked up"},
                                                {"shipped", "Shipped"},
                                                {"cancelled", "Cancelled"}}};

} // namespace

std::string_view statusText(OrderStatus status) {
    return kNames[size_t(status)].text;
}

std::string_view statusKey(OrderStatus status) {
    return kNames[size_t(status)].key;
}

std::optional<OrderStatus> statusFromKey(std::string_view key) {
    for (OrderStatus s : kOrderStatuses)
        if (statusKey(s) == key)
            return s;
    return std::nullopt;
}

bool isOpen(OrderStatus status) {
    return status == OrderStatus::New || status == OrderStatus::InProduction ||
           status == OrderStatus::Ready;
}

} // namespace quillon
