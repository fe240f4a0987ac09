#pragma once

#include "status/OrderStatus.h"
#include "status/StatusDatabase.h"

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillon {

class Clock;

// The orders' statuses for the thread that shows them (the user-interface
// thread), kept in the status database by a thread of its own that owns the
// database connection. Reading a status is a look-up in memory; a change is
// asked for, committed on the database thread with a full sync, and only
// then taken in here and reported by changesCommitted(). The database
// thread makes each new table of statuses, and this thread only takes it.
// Requests are done in the order they were asked; what is asked before the
// store goes is committed before its destructor returns.
class StatusStore : public QObject {
    Q_OBJECT
public:
    StatusStore(std::string databasePath, const Clock& clock, QObject* parent = nullptr);
    ~StatusStore() override;

    // Opens (or creates) the database and reads its statuses on the
    // database thread; opened() tells the outcome.
    void open();
    // open() has answered, and the database is in use.
    bool isOpen() const { return m_open; }
    bool hasAnswered() const { return m_answered; }
    // open() was called and has not answered yet.
    bool isOpening() const { return m_thread.joinable() && !m_answered; }

    // An order without a row is New.
    OrderStatus statusOf(const OrderKey& order) const;
    OrderStatus statusOf(const OrderEntry& order) const;
    // The status of each of `orders`, sorted by order number (the book's).
    std::vector<OrderStatus> statusesOf(const StatusTable::Orders& orders) const {
        return m_statuses->statusesOf(orders);
    }
    // Orders that have a status row.
    size_t rowCount() const { return m_statuses->size(); }
    // Every status as it is now; never changed, so it may be read anywhere.
    std::shared_ptr<const StatusTable> table() const { return m_statuses; }

    // Sets `status` for `orders` in one transaction, recording `station`.
    // The request's number, which changesCommitted() or changeFailed()
    // names; 0, and nothing asked, when the database could not be opened.
    uint64_t requestChange(std::vector<OrderKey> orders, OrderStatus status, std::string station);
    // The order's history, oldest first, given to `done` on this thread.
    void requestHistory(OrderKey order, std::function<void(std::vector<StatusHistoryEntry>)> done);
    // Removes the orders' statuses and histories (the purge); taken in
    // here once done, as a change is.
    void forget(std::shared_ptr<const std::vector<OrderKey>> orders);
    // Notes on the order's latest change to Ready whether its customer was told.
    void recordTold(OrderKey order, CustomerTold told, std::string note);

signals:
    // The database answered open(); its rows are taken in already (the
    // opening's own table is empty).
    void opened(const quillon::StatusOpening& opening);
    // The changes of request `request` are on disk. Orders that had the
    // status already are not among them (the list may be empty).
    void changesCommitted(quint64 request, const std::vector<quillon::StatusChange>& changes);
    void changeFailed(quint64 request, const QString& error);

private:
    using Job = std::function<void(StatusDatabase&)>;
    void post(Job job);
    // Runs `deliver` on this object's thread.
    void handBack(std::function<void()> deliver);
    void run();
    using Table = std::shared_ptr<const StatusTable>;
    void takeOpening(StatusOpening opening, Table statuses);
    // On the database thread: the table with `orders` set to `status`.
    Table changedTable(const std::vector<OrderKey>& orders, OrderStatus status);

    const Clock& m_clock;
    Table m_statuses = std::make_shared<const StatusTable>();
    // The latest table, for the database thread alone.
    Table m_committed = m_statuses;
    bool m_answered = false;
    bool m_open = false;
    bool m_failed = false;
    uint64_t m_nextRequest = 1;

    std::unique_ptr<StatusDatabase> m_database;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace quillon
