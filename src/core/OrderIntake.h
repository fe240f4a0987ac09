#pragma once

#include "core/OrderServer.h"
#include "core/ReceptionPool.h"
#include "core/TransferList.h"
#include "orders/FolderRegistry.h"
#include "protocol/ProductItem.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace quillon {

class AccountSession;
class Clock;
class CounterWriter;
class OrderBookFiles;
class PluginHost;
class RequestRunner;
class SettingsStore;
class StatusLines;
class TrustedCustomers;
struct OrderEntry;
struct PaymentStatusResult;
struct Settings;
struct ShopConfig;

// What the order intake uses of the rest of the shop.
struct IntakeParts {
    const ShopConfig& config;
    // The shop's working copy: a registration moves its counter, which the
    // application's record and the profile (with a `store`) follow.
    Settings& settings;
    Settings& application;
    SettingsStore* store;
    const Clock& clock;
    const PluginHost& plugins;
    const TrustedCustomers& trusted;
    // The current product list, which each reception takes as it starts.
    const std::shared_ptr<const ProductList>& products;
    OrderBookFiles& book;
    // Where the payment status is asked.
    const AccountSession& account;
    StatusLines& status;
    RequestRunner& requests;
    // Read by a registration's step, on this thread.
    const bool* offline;
    // Set when the shop is going away: a registration's step still queued
    // is dropped.
    const std::atomic<bool>& closing;
};

// The orders coming in: registrations on order server 2, which hand out
// order numbers and folders, and receptions on order server 1, each on a
// worker of its own; then each completed order's payment status, its record
// in the order book, its e-mail and its thumbnails. It lives on the
// user-interface thread; answerRegistration() runs on order server 2's
// accept thread and touches the shop only through steps queued here.
class OrderIntake : public QObject {
    Q_OBJECT
public:
    explicit OrderIntake(IntakeParts parts, QObject* parent = nullptr);
    ~OrderIntake() override;

    // An order server 1 connection: its reception starts on a worker.
    void receive(std::unique_ptr<Socket> connection);
    // True as soon as another reception may start; false when none ended
    // within `wait`. Any thread.
    bool waitForRoom(std::chrono::milliseconds wait);
    // An order server 2 connection, answered on the calling thread.
    void answerRegistration(AcceptedConnection connection);
    // The shop is going away: the receptions are aborted and waited for,
    // and their outcomes dropped.
    void close();

    const TransferList& transfers() const { return m_transfers; }
    TransferList& transfers() { return m_transfers; }
    const ReceptionPool& receptions() const { return m_receptions; }

signals:
    // An order has been stored; `received` is in seconds since 1970.
    void orderReceived(const QString& orderNumber, const QString& customer, const QString& total,
                       qint64 received);
    // A thumbnail made with a new order's summary, for the picture at
    // `path`; emitted before the order is listed. The order keeps none.
    void thumbnailMade(const QString& path, const QImage& thumbnail);
    // A reception ended without an order.
    void orderAborted(const QString& orderNumber, const QString& reason);

private:
    void orderCompleted(std::unique_ptr<OrderEntry> order);
    void storeOrder(std::unique_ptr<OrderEntry> order, const PaymentStatusResult& payment);
    void handOverThumbnails(OrderEntry& order);
    void orderProgress(int rowId, int k, int n, const std::string& orderNumber);
    void receptionAborted(std::unique_ptr<OrderEntry> order, const std::string& reason);

    IntakeParts m_parts;
    std::unique_ptr<CounterWriter> m_counterWriter;
    FolderRegistry m_handedOutFolders;
    ReceptionPool m_receptions;
    TransferList m_transfers;
};

} // namespace quillon
