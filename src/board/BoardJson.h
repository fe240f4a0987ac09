#pragma once

#include <QJsonObject>
#include <cstdint>

namespace quillon {

struct OrderEntry;

// An order as the list shows it: id, number, customer, received (ISO 8601
// with the local offset), items, amount, payment.
QJsonObject orderSummaryJson(const OrderEntry& order);
// The same with its pictures: name, copies and item lines (code, quantity,
// description).
QJsonObject orderDetailJson(const OrderEntry& order);
QString isoTime(int64_t secondsSince1970);

} // namespace quillon
