#include "board/BoardJson.h"

#include "board/BoardOrders.h"
#include "orders/QtText.h"

#include <QDateTime>
#include <QJsonArray>
#include <cmath>

namespace quillon {

QString isoTime(int64_t secondsSince1970) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSince1970);
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonObject orderSummaryJson(const OrderEntry& order, std::optional<OrderStatus> status) {
    QJsonObject json{
        {"id", QString::fromStdString(BoardOrders::idOf(order))},
        {"number", toQString(order.orderNumber)},
        {"customer", toQString(order.customer)},
        {"received", isoTime(order.received)},
        {"items", order.itemCount},
        // In cents, as the window shows it ("%1.2f").
        {"amount", std::round(double(order.amount) * 100.0) / 100.0},
        {"payment", toQString(order.paymentStatus)},
    };
    if (status)
        json["status"] = QString::fromLatin1(statusKey(*status));
    return json;
}

QJsonArray historyJson(const std::vector<StatusHistoryEntry>& history) {
    QJsonArray entries;
    for (const StatusHistoryEntry& entry : history)
        entries.append(QJsonObject{
            {"status", QString::fromLatin1(statusKey(entry.change.status))},
            {"time", isoTime(entry.change.time)},
            {"station", toQString(entry.change.station)},
            {"customerTold", entry.told == CustomerTold::NotAsked
                                 ? QJsonValue(QJsonValue::Null)
                                 : QJsonValue(entry.told == CustomerTold::Told)},
        });
    return entries;
}

QJsonObject orderDetailJson(const OrderEntry& order, std::optional<OrderStatus> status) {
    QJsonObject json = orderSummaryJson(order, status);
    QJsonArray pictures;
    for (const PictureView picture : order.pictures) {
        QJsonArray items;
        int copies = 0;
        for (const ItemLine& line : picture.items) {
            copies += line.quantity;
            items.append(QJsonObject{
                {"code", line.code},
                {"quantity", line.quantity},
                {"description", line.product ? toQString(line.product->description) : QString()},
            });
        }
        pictures.append(QJsonObject{
            {"name", toQString(picture.fileName)}, {"copies", copies}, {"items", items}});
    }
    json["pictures"] = pictures;
    return json;
}

} // namespace quillon
