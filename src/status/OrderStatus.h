#pragma once

#include "orders/OrderEntry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// Where an order stands after it was received. Any status may follow any
// other; an order nobody has touched is New.
enum class OrderStatus : uint8_t { New, InProduction, Ready, PickedUp, Shipped, Cancelled };

inline constexpr std::array<OrderStatus, 6> kOrderStatuses = {
    OrderStatus::New,      OrderStatus::InProduction, OrderStatus::Ready,
    OrderStatus::PickedUp, OrderStatus::Shipped,      OrderStatus::Cancelled};

// The status as people read it ("Ready for pick-up").
std::string_view statusText(OrderStatus status);
// The status's stable key, as the database and the board name it
// ("new", "in-production", "ready", "picked-up", "shipped", "cancelled").
std::string_view statusKey(OrderStatus status);
std::optional<OrderStatus> statusFromKey(std::string_view key);
// New, in production or ready: the shop still has the order.
bool isOpen(OrderStatus status);

// Which orders the status choice beside "Find order" lets through.
enum class StatusChoice : uint8_t { All, Only, NotPickedUpYet };
struct StatusFilter {
    StatusChoice choice = StatusChoice::All;
    OrderStatus only = OrderStatus::New; // with StatusChoice::Only
    bool matches(OrderStatus status) const {
        return choice == StatusChoice::All || (choice == StatusChoice::Only && status == only) ||
               (choice == StatusChoice::NotPickedUpYet && isOpen(status));
    }
};

// An order as the status database knows it: numbers wrap around and
// plug-ins may set them, so the number alone does not name one order.
struct OrderKey {
    std::string orderNumber; // 8-bit, as in the order database
    uint32_t received = 0;   // seconds since 1970, UTC
    std::string folder;      // 8-bit

    bool operator==(const OrderKey&) const = default;
};

inline OrderKey keyOf(const OrderEntry& order) {
    return {order.orderNumber, order.received, order.folder};
}

} // namespace quillon
