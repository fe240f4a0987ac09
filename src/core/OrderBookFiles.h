#pragma once

#include "status/OrderStatus.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class Clock;
class OrderBook;
class RequestRunner;
class StatusLines;
struct OrderEntry;
struct Settings;

// The order book and its file work: the load at start-up, the purges, the
// saves that put a failed write right, and what the operator is told of
// them. It lives on the user-interface thread; the file work runs on a
// worker of the shop's request runner, one piece at a time.
class OrderBookFiles : public QObject {
    Q_OBJECT
public:
    // `settings` is the shop's working copy (its purge age).
    OrderBookFiles(std::string workingDirectory, const Settings& settings, const Clock& clock,
                   RequestRunner& requests, StatusLines& status, QObject* parent = nullptr);
    ~OrderBookFiles() override;

    OrderBook& book() { return *m_book; }
    const OrderBook& book() const { return *m_book; }

    // Reads OE.DB on a worker and files its orders here, so the list and
    // everything that follows the book see them all at once; loaded() says
    // when, and the status lines say that the orders are being read, then
    // how many were. `readHook` runs on the worker once the file has been
    // read. Until then nothing is written into the file: orders stored
    // meanwhile are listed at once and their records appended after the
    // load.
    void load(std::function<void()> readHook);
    bool isLoading() const { return m_loading; }
    // Lists `order`; one that cannot be stored in the database stays listed
    // and is stored with the next order, purge or exit.
    void store(std::unique_ptr<OrderEntry> order);
    // Takes the old orders out of the list at once; their order log, their
    // folders and, with `rewrite` (or when the database owes orders), the
    // database rewrite run off this thread, and purged() tells when that is
    // done. A purge asked for while the database is being loaded or written
    // runs after it; none starts once Exit has begun.
    void purge(bool rewrite = false);
    // A purge or a save runs.
    bool isWriting() const { return m_busy; }
    // Exit has begun: a purge still waiting is not run, and a failed write
    // is told as final.
    void prepareExit() { m_exiting = true; }
    // The last chance for orders whose records could not be stored: true
    // when their save has started. Tried once.
    bool saveOwedOrders();

signals:
    void loaded();
    // A purge has taken these orders out of the list; emitted on the purge's
    // own thread before its file work starts.
    void purging(std::shared_ptr<const std::vector<OrderKey>> orders);
    void purged();

private:
    void save();
    void written(std::optional<bool> saved);
    void databaseDamaged(int recordsRead, const QString& copyName);

    const std::string m_workingDirectory;
    const Settings& m_settings;
    const Clock& m_clock;
    RequestRunner& m_requests;
    StatusLines& m_status;
    std::unique_ptr<OrderBook> m_book;
    // The load, or a purge or a save runs; a purge asked for meanwhile
    // (true: with the rewrite) waits for it.
    bool m_loading = false;
    bool m_busy = false;
    std::optional<bool> m_purgeWaiting;
    // A failure of the order database was reported and not yet put right.
    bool m_failing = false;
    bool m_exiting = false;
    bool m_exitSaveTried = false;
};

} // namespace quillon
