#pragma once

#include "board/BoardMessages.h"
#include "board/BoardSessions.h"

#include <QByteArray>
#include <QCache>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <optional>

namespace quillon {

class BoardOrders;
class Clock;
struct OrderEntry;

// The board's answers: its pages, the login and the JSON API. Runs on the
// board's thread. Files are reached only through the orders (an order id
// and a picture index), never through a request path.
class BoardApi {
public:
    BoardApi(BoardOrders& orders, const Clock& clock, std::string passwordHash);

    // The host names and addresses that requests may name in their Host
    // header (a page from elsewhere that names its own host is refused,
    // whatever address that name leads to).
    void setOwnHosts(QSet<QString> hosts) { m_ownHosts = std::move(hosts); }
    void setEncrypted(bool encrypted) { m_encrypted = encrypted; }
    void setPasswordHash(const std::string& hash) { m_sessions.setPasswordHash(hash); }
    // The shop keeps order statuses: the orders have them, the list filters
    // by them, an order comes with its status history and its status can be
    // set.
    void setKeepsStatuses(bool keeps) { m_keepsStatuses = keeps; }

    // An answer, or one that waits for the shop (its query set).
    BoardResponse handle(const BoardRequest& request);
    // The answer to a request that waited for the shop's answer to `query`.
    BoardResponse answer(const BoardShopQuery& query, const BoardShopAnswer& shop) const;

private:
    BoardResponse handleApi(const BoardRequest& request);
    BoardResponse login(const BoardRequest& request);
    BoardResponse logout(const BoardRequest& request, const std::string& token);
    BoardResponse orderList(const BoardRequest& request);
    BoardResponse orderRequest(const BoardRequest& request);
    BoardResponse statusChange(const BoardRequest& request, const OrderEntry& order,
                               const std::string& id) const;
    BoardResponse page(const BoardRequest& request) const;
    BoardResponse thumbnail(const OrderEntry& order, const QString& index);
    bool ownHost(const QByteArray& host) const;
    // Present and not this board's own origin.
    bool foreignOrigin(const BoardRequest& request) const;
    QByteArray sessionCookie(const std::string& token, bool expire) const;
    // The answer to a login or a session request: its CSRF token, and the
    // statuses' keys when the shop keeps them.
    QJsonObject sessionJson(const std::string& csrf) const;
    // The order's status, when the shop keeps statuses.
    std::optional<OrderStatus> statusOf(const OrderEntry& order) const;

    BoardOrders& m_orders;
    BoardSessions m_sessions;
    QSet<QString> m_ownHosts;
    bool m_encrypted = false;
    bool m_keepsStatuses = false;
    // Thumbnails made lately, by order id and picture index, so that
    // browsers showing the same order do not each have its pictures read
    // again (costs in KiB).
    QCache<QString, QByteArray> m_thumbnails;
};

// The headers every answer of the board carries: no framing by other
// sites, no content sniffing, no caching of order data.
std::vector<std::pair<QByteArray, QByteArray>> boardSafetyHeaders();

} // namespace quillon
