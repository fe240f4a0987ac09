#pragma once

#include "board/BoardConnections.h"
#include "board/BoardOrders.h"

#include "board/BoardMessages.h"
#include "status/StatusTable.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace quillon {

class BoardApi;
class BoardHttp;
class BoardReply;
class Clock;
class OrderBook;

// Where and how the board serves.
struct BoardConfig {
    QString address; // empty: every interface
    int port = 8080;
    std::string passwordHash;
    // PEM files; both set: the board speaks TLS only.
    QString certificate;
    QString key;
    BoardLimits limits;
};

// The board's server with its copy of the orders; lives on the board's
// thread, where every one of its functions runs.
class BoardServer : public QObject {
    Q_OBJECT
public:
    BoardServer(const OrderBook& book, const Clock& clock,
                std::shared_ptr<const std::atomic<uint64_t>> bookGeneration);

    // Before it starts, for a shop that keeps statuses: `ask` takes the
    // queries that answers wait for (on this object's thread), and the
    // shop's answers come back through shopAnswered().
    using AskShop = std::function<void(uint64_t ticket, const BoardShopQuery& query)>;
    void setAskShop(AskShop ask) { m_askShop = std::move(ask); }
    ~BoardServer() override;

    // Listens; started() tells the outcome.
    void start(const BoardConfig& config);
    // Copies the whole book, unless the book has been reset again since
    // `generation`: a copy for the later reset follows.
    void copyBook(uint64_t generation);
    // An order filed in the book at `generation`.
    void addOrder(uint64_t generation, std::shared_ptr<OrderEntry> order);
    void setPasswordHash(const std::string& hash);
    // Every status, in place of those the board has.
    void takeStatuses(const std::shared_ptr<const StatusTable>& table);
    // Statuses that changed.
    void takeChanges(const std::vector<StatusChange>& changes);
    // The shop's answer to the query of `ticket`.
    void shopAnswered(uint64_t ticket, const BoardShopAnswer& answer);

signals:
    // `port` 0 and `line` saying why, when the board could not start.
    void started(int port, const QString& line);

private:
    void handle(const BoardRequest& request, BoardReply reply);

    struct Waiting;

    const OrderBook& m_book;
    const Clock& m_clock;
    std::shared_ptr<const std::atomic<uint64_t>> m_bookGeneration;
    uint64_t m_copiedGeneration = 0;
    BoardOrders m_orders;
    AskShop m_askShop;
    uint64_t m_nextTicket = 1;
    std::map<uint64_t, std::unique_ptr<Waiting>> m_waiting;
    std::unique_ptr<BoardApi> m_api;
    // Outlives the connections it counts.
    std::unique_ptr<BoardConnections> m_connections;
    // Owns the listening socket it is bound to.
    std::unique_ptr<BoardHttp> m_http;
};

} // namespace quillon
