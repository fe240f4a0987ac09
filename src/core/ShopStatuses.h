#pragma once

#include "status/OrderStatus.h"
#include "status/StatusStore.h"

#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class Clock;
class OrderBook;
class Prompter;
class RequestRunner;
class StatusLines;
struct Settings;
struct ShopConfig;

// What the order statuses use of the rest of the shop.
struct StatusParts {
    const ShopConfig& config;
    // The shop's working copy: the ready e-mail's switch, texts and server.
    const Settings& settings;
    const Clock& clock;
    const OrderBook& book;
    StatusLines& status;
    // Asks a new database's question about the orders received before it.
    Prompter& prompter;
    // Sends the ready e-mail off this thread.
    RequestRunner& requests;
};

// The shop's side of the order statuses: the status database (Db/
// status.sqlite) opened with the shop, the question a new database asks
// about the orders received before it, the station the shop's own changes
// are recorded with, the purge, and the "ready for pick-up" e-mail. It
// lives on the user-interface thread; the database has a thread of its own.
class ShopStatuses : public QObject {
    Q_OBJECT
public:
    explicit ShopStatuses(StatusParts parts, QObject* parent = nullptr);
    ~ShopStatuses() override;

    // Opens the database on its own thread.
    void open();
    // Start-up is over: a new database's question may be asked now.
    void startUpDone();

    StatusStore& store() { return m_store; }
    const StatusStore& store() const { return m_store; }
    // "window" or "headless": who changes a status through setStatus().
    const std::string& station() const { return m_station; }

    // Sets the orders' status in one transaction as the shop's own
    // station; the store reports when it is committed (0 when it cannot be).
    uint64_t setStatus(std::vector<OrderKey> orders, OrderStatus status);
    // "Tell the customer again": the ready e-mail once more, on purpose.
    void tellCustomerAgain(const OrderKey& order);
    // The purge is taking these orders out of the list.
    void forget(const std::shared_ptr<const std::vector<OrderKey>>& purged);

private:
    void opened(const StatusOpening& opening);
    void committed(const std::vector<StatusChange>& changes);
    void askAboutEarlierOrders();
    void tellCustomer(const OrderKey& order);

    StatusParts m_parts;
    std::string m_station;
    StatusStore m_store;
    bool m_startUpDone = false;
    // A new database waits for the orders before it to be settled.
    bool m_earlierOrdersOpen = false;
};

} // namespace quillon
