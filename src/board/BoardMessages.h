#pragma once

#include "status/StatusDatabase.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

// A request as the board's handlers see it, taken from the HTTP server's
// parsed request.
struct BoardRequest {
    QByteArray method; // "GET", "POST", ...
    // The path's segments, each decoded on its own (so "%2F" never makes a
    // segment boundary); "/api/orders" is {"api", "orders"}.
    std::vector<QString> segments;
    QUrlQuery query;
    QByteArray host;
    QByteArray origin;
    QByteArray cookie;
    QByteArray csrf;
    QByteArray body;
    std::string address; // the client's address
};

// What an answer waits for from the shop: the order's status history,
// after its status was changed to `change` when that is set.
struct BoardShopQuery {
    std::string orderId;
    OrderKey order;
    std::optional<OrderStatus> change;
    std::string station; // who changes it: "board <client address>"
};

// The shop's answer to a query.
struct BoardShopAnswer {
    // False when the change could not be made; `error` says why.
    bool done = true;
    QString error;
    std::vector<StatusHistoryEntry> history;
};

struct BoardResponse {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    // Set when the answer is made once the shop has answered this.
    std::optional<BoardShopQuery> query;
};

} // namespace quillon
