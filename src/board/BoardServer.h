#pragma once

#include "board/BoardConnections.h"
#include "board/BoardOrders.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <string>

namespace quillon {

class BoardApi;
class BoardHttp;
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
    ~BoardServer() override;

    // Listens; started() tells the outcome.
    void start(const BoardConfig& config);
    // Copies the whole book, unless the book has been reset again since
    // `generation`: a copy for the later reset follows.
    void copyBook(uint64_t generation);
    // An order filed in the book at `generation`.
    void addOrder(uint64_t generation, std::shared_ptr<OrderEntry> order);
    void setPasswordHash(const std::string& hash);

signals:
    // `port` 0 and `line` saying why, when the board could not start.
    void started(int port, const QString& line);

private:
    const OrderBook& m_book;
    const Clock& m_clock;
    std::shared_ptr<const std::atomic<uint64_t>> m_bookGeneration;
    uint64_t m_copiedGeneration = 0;
    BoardOrders m_orders;
    std::unique_ptr<BoardApi> m_api;
    // Outlives the connections it counts.
    std::unique_ptr<BoardConnections> m_connections;
    // Owns the listening socket it is bound to.
    std::unique_ptr<BoardHttp> m_http;
};

} // namespace quillon
