#pragma once

#include "orders/OrderDatabase.h"
#include "orders/OrderEntry.h"
#include "protocol/ProductItem.h"

#include <QObject>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

// The received orders, sorted by order number, with their database file.
// Every command runs under one lock, because orders are added while the
// list is painted; a painter reads them through withOrders(). Changes are
// reported by signals emitted on the thread that made them, after the
// lock is released.
class OrderBook : public QObject {
    Q_OBJECT
public:
    using Orders = std::vector<std::unique_ptr<OrderEntry>>;

    static constexpr uint32_t kFileHeader = 0x01000000;

    explicit OrderBook(std::string databasePath, uint32_t fileHeader = kFileHeader,
                       QObject* parent = nullptr);

    // The product table that item lines link to (not owned, may be null).
    // Setting it links every item again, so none points into an old table.
    void setProducts(const ProductList* products);
    const ProductList* products() const;

    // Reads the database and files each whole record by sorted insertion.
    // No picture is decoded here. The file is read without the lock, so a
    // painter is held up only while the records are filed.
    OrderDatabaseScan load();

    // Files the order in sorted place and appends its record to the
    // database. The order stays listed even when the record is not stored;
    // the result says whether it was.
    bool add(std::unique_ptr<OrderEntry> order);

    // Writes every order to the XML order log at `path`: 1 done, 0 when the
    // file cannot be created.
    int writeXmlLog(const std::string& path) const;

    // Removes the orders received more than `days` days before `now`,
    // writes them to the XML order log at `xmlPath` (no file when none) and
    // deletes their folders. The database is left as it is until save().
    // Returns the number of orders removed.
    int purge(int days, const std::string& xmlPath, int64_t now);

    // Rewrites the whole database with the listed orders.
    bool save();

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

private:
    size_t insertSorted(std::unique_ptr<OrderEntry> order);

    mutable std::mutex m_mutex;
    Orders m_orders;
    const ProductList* m_products = nullptr;
    OrderDatabase m_database;
};

// The purge age in days for the `purge` setting; 0 means no purge.
int purgeAgeDays(int32_t purge);

} // namespace quillon
