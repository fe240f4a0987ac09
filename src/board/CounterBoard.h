#pragma once

#include "board/BoardServer.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>

namespace quillon {

class Clock;
class OrderBook;
class StatusStore;

// The counter board: the shop's orders for browsers on the shop's network.
// Its server and handlers run on a thread of their own with a copy of the
// order book and of the statuses; this object, on the book's thread, hands
// each order filed in the book and each committed status change over to it,
// so the board never holds the book (nor the user-interface thread) up. A
// status change from the board is made through the shop's status store, as
// the window's are, and answered once it is committed.
class CounterBoard : public QObject {
    Q_OBJECT
public:
    // Without `statuses`, the board shows no statuses.
    CounterBoard(const OrderBook& book, const Clock& clock, StatusStore* statuses,
                 QObject* parent = nullptr);
    ~CounterBoard() override;

    // Starts serving; statusLine() and started() tell where, or why not.
    void start(const BoardConfig& config);
    // Stops serving and waits for the board's thread to end.
    void stop();
    bool isRunning() const { return m_server != nullptr; }
    // Sessions end when the password changes.
    void setPasswordHash(const std::string& hash);

signals:
    void statusLine(const QString& line);
    // The port it serves on; 0 when it could not start.
    void started(int port);

private:
    void orderInserted(int index);
    void ordersReset();
    // From the board's thread: what an answer of `server` waits for.
    // `run` names the server that asked: a board stopped or started anew
    // since has no one waiting for the answer.
    void askShop(uint64_t run, uint64_t ticket, const BoardShopQuery& query);
    void committed(quint64 request, const std::vector<StatusChange>& changes);
    void failed(quint64 request, const QString& error);
    void sendHistory(uint64_t run, uint64_t ticket, const OrderKey& order);
    void answer(uint64_t run, uint64_t ticket, BoardShopAnswer answer);
    void sendStatuses();

    const OrderBook& m_book;
    const Clock& m_clock;
    StatusStore* m_statuses;
    std::shared_ptr<std::atomic<uint64_t>> m_generation;
    // The board's status changes waiting to be committed, by request.
    struct Change {
        uint64_t run;
        uint64_t ticket;
        OrderKey order;
    };
    std::map<quint64, Change> m_changes;
    QThread m_thread;
    BoardServer* m_server = nullptr; // lives on m_thread
    uint64_t m_run = 0;              // counts the servers started
};

} // namespace quillon
