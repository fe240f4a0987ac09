#pragma once

#include <QByteArray>
#include <QUrlQuery>
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

struct BoardResponse {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
};

} // namespace quillon
