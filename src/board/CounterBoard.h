#pragma once

#include "board/BoardServer.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

namespace quillon {

class Clock;
class OrderBook;

// The counter board: the shop's orders for browsers on the shop's network.
// Its server and handlers run on a thread of their own with a copy of the
// order book; this object, on the book's thread, hands each order filed in
// the book over to it, copied at once, so the board never holds the book
// (nor the user-interface thread) up.
class CounterBoard : public QObject {
    Q_OBJECT
public:
    CounterBoard(const OrderBook& book, const Clock& clock, QObject* parent = nullptr);
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

    const OrderBook& m_book;
    const Clock& m_clock;
    std::shared_ptr<std::atomic<uint64_t>> m_generation;
    QThread m_thread;
    BoardServer* m_server = nullptr; // lives on m_thread
};

} // namespace quillon
