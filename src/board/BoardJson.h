#pragma once

#include "status/StatusDatabase.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {

struct OrderEntry;

// An order as the list shows it: id, number, customer, received (ISO 8601
// with the local offset), items, amount, payment, and its status's key when
// the shop keeps statuses.
QJsonObject orderSummaryJson(const OrderEntry& order, std::optional<OrderStatus> status);
// The same with its pictures: name, copies and item lines (code, quantity,
// description).
QJsonObject orderDetailJson(const OrderEntry& order, std::optional<OrderStatus> status);
// An order's status history, oldest first: status, time, station and
// customerTold (true, false, or null when there was nothing to tell).
QJsonArray historyJson(const std::vector<StatusHistoryEntry>& history);
QString isoTime(int64_t secondsSince1970);

} // namespace quillon
