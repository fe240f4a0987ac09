#pragma once

#include "orders/OrderDatabase.h"
#include "orders/OrderEntry.h"
#include "protocol/ProductItem.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

class Clock;

// The received orders, sorted by order number, with their database file.
// The list is under one lock, because orders are added while the list is
// painted; a painter reads them through withOrders(). The lock is held only
// for moments: the database file has a lock of its own, and a rewrite works
// on a snapshot of the list, while the records of orders added meanwhile
// wait and are appended right after it. The list changes only on the book's
// own thread, and each change is reported by a signal emitted there at
// once, after the lock is released: a view that keeps state per order is
// never out of step with what it reads. Work on other threads reads, writes
// files or prepares, and hands its result over.
//
// Entries leave the list only through a purge, and a purge or a save starts
// only while no rewrite runs, so the entries a snapshot points to outlive it.
class OrderBook : public QObject {
    Q_OBJECT
public:
    using Orders = std::vector<std::unique_ptr<OrderEntry>>;

    static constexpr uint32_t kFileHeader = 0x01000000;

    // Orders out of the list whose file work (order log, folders and maybe
    // a rewrite) is still to be done.
    struct PurgeWork {
        Orders purged;
        const ProductList* products = nullptr;
        // The listed orders, when the database is to be rewritten.
        std::optional<std::vector<const OrderEntry*>> rewrite;
    };
    struct PurgeDone {
        int removed = 0;
        std::optional<bool> saved; // set when the database was rewritten
    };

    explicit OrderBook(std::string databasePath, uint32_t fileHeader = kFileHeader,
                       QObject* parent = nullptr);

    // The clock that names copies of a damaged database.
    void setClock(const Clock& clock);

    // The product table that item lines link to (not owned, may be null).
    // Setting it links every item again, so none points into an old table.
    void setProducts(const ProductList* products);
    const ProductList* products() const;

    // Reads the database and files each whole record by sorted insertion.
    // No picture is decoded here.
    OrderDatabaseScan load();
    // The two halves of load(): the reading, which may run on a worker and
    // leaves the list as it is, and the filing, on the book's thread, which
    // links the items to the current product table.
    OrderDatabaseScan readDatabase(Orders& loaded);
    void fileLoaded(Orders loaded);
    // Called on the book's thread before readDatabase() runs elsewhere:
    // until fileLoaded(), the file is only read. Orders added meanwhile are
    // listed at once and their records wait, to be appended in the order
    // they came once the loaded orders are filed; a purge or a save is
    // refused meanwhile.
    void beginLoad();

    // Files the order in sorted place and appends its record to the
    // database, or, while a rewrite or the load runs, leaves the record to
    // be appended right after it. The order stays listed even when the record is not
    // stored; the book then owes a save (saveOwed()). The result says
    // whether the record was stored or waits for the rewrite.
    bool add(std::unique_ptr<OrderEntry> order);

    // Writes every order to the XML order log at `path`: 1 done, 0 when the
    // file cannot be created.
    int writeXmlLog(const std::string& path) const;

    // Takes the orders received more than `days` days before `now` out of
    // the list at once (reported as a reset), with a snapshot of the orders
    // that stay when the database is to be rewritten. The file work is left
    // to finishPurge(). Nothing, and the list unchanged, while a rewrite runs.
    std::optional<PurgeWork> takePurge(int days, int64_t now, bool rewrite);
    // The file work of a purge, for any thread, never holding the list up:
    // the XML order log of the purged orders at `xmlPath` (no file when
    // none), their folders, then the rewrite when asked.
    PurgeDone finishPurge(PurgeWork work, const std::string& xmlPath);
    // Both at once, without the rewrite. Returns the number of orders removed.
    int purge(int days, const std::string& xmlPath, int64_t now);

    // Rewrites the whole database with the listed orders (save and
    // replace), from a snapshot, so the list stays free meanwhile. False
    // when it failed (the old file stays) or another rewrite runs.
    bool save();

    // The database does not hold the list: a record could not be stored,
    // or a rewrite failed. A save puts that right.
    bool saveOwed() const;
    // Listed orders whose records could not be stored since the last save.
    size_t unstoredOrders() const;

    // Runs inside each rewrite, on its thread, once the new file is written
    // and before it replaces the old one; tests hold a rewrite there.
    void setRewriteHook(std::function<void()> hook);

    size_t size() const;

    // Calls visit(const Orders&) under the lock. The entries must not be
    // changed.
    template <class F> decltype(auto) withOrders(F&& visit) const {
        std::lock_guard lock(m_mutex);
        return std::forward<F>(visit)(std::as_const(m_orders));
    }

signals:
    // The order now at `index` was added; those after it moved down.
    void orderInserted(int index);
    // Any order may have gone or moved (after a load or a purge).
    void ordersReset();
    // The database holds bytes that could not be read: `recordsRead` whole
    // records came before them, and the whole file was kept next to it as
    // `copyName`, or, when that is empty, could not be copied and is left
    // as it is. Emitted on the thread that met the damage.
    void databaseDamaged(int recordsRead, const QString& copyName);

private:
    size_t insertSorted(std::unique_ptr<OrderEntry> order);
    // With the lock held: marks a rewrite as running and returns the list.
    std::vector<const OrderEntry*> beginRewrite();
    // Writes the snapshot, then the records that waited for it.
    bool finishRewrite(const std::vector<const OrderEntry*>& orders);
    // With the file lock held: appends the records that wait until none is
    // left, then, with the list's lock held, lets appends go to the file
    // again and calls settle() with the number of orders whose records
    // could not be stored.
    void appendWaiting(const std::function<void(size_t lost)>& settle);

    mutable std::mutex m_mutex;
    Orders m_orders;
    const ProductList* m_products = nullptr;
    // Under m_mutex: a rewrite or the load runs, the records added
    // meanwhile (and how many), and what the file lacks.
    bool m_rewriting = false;
    bool m_loading = false;
    std::string m_waiting;
    size_t m_waitingCount = 0;
    bool m_saveOwed = false;
    size_t m_unstored = 0;

    // The file; taken after m_mutex when both are held, and by add() only
    // while neither a rewrite nor the load runs, so a caller of add() never
    // waits for one.
    std::mutex m_fileMutex;
    OrderDatabase m_database;
    std::function<void()> m_rewriteHook;
};

// The purge age in days for the `purge` setting; 0 means no purge.
int purgeAgeDays(int32_t purge);

} // namespace quillon
