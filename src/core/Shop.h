#pragma once

#include "core/AccountSession.h"
#include "core/Logs.h"
#include "core/OrderBookFiles.h"
#include "core/OrderIntake.h"
#include "core/OrderServers.h"
#include "core/RequestRunner.h"
#include "core/ShopConfig.h"
#include "core/ShopStatuses.h"
#include "core/StatusLines.h"
#include "orders/Settings.h"
#include "protocol/ProductItem.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>
#include <vector>

namespace quillon {

class Clock;
class OrderBook;
class PluginHost;
class PluginParamTable;
class Prompter;
class SettingsStore;
class TrustedCustomers;

// The shop's run-time state, in parts that each keep their own: the status
// lines, the account session, the order book's files, the order intake, the
// order servers and the order statuses. The shop holds the settings working
// copy, plug-ins, product lists and trusted customers, wires the parts
// together and runs start-up and shut-down. It lives on the UI thread, as its
// parts do; other threads reach them only through queued calls, and their
// network and file work runs on workers whose outcomes come back as queued
// calls. A window shows it through read-only views and changes it through
// commands; a headless run drives it alone.
class Shop : public QObject {
    Q_OBJECT
public:
    // With a `store`, each new order number also goes to its profile at once.
    Shop(ShopConfig config, Settings& application, SettingsStore* store, const Clock& clock,
         Prompter& prompter, QObject* parent = nullptr);
    ~Shop() override;

    // The second half of start-up: plug-ins, trusted customers, product
    // list, self diagnostics, order database, purge. The product list and
    // the order database are read on workers at the same time;
    // ordersLoaded() and ready() say when each part is done.
    void initialise();
    bool isReady() const { return m_ready; }
    // Starts the 5-second clock tick.
    void startClock();

    StatusLines& statusLines() { return m_status; }
    AccountSession& account() { return m_account; }
    OrderBookFiles& orderBookFiles() { return m_book; }
    // The order book, as the order list shows it.
    const OrderBook& orderBook() const { return m_book.book(); }
    OrderIntake& intake() { return m_intake; }
    const OrderIntake& intake() const { return m_intake; }
    const OrderServers& servers() const { return m_servers; }
    // The orders' statuses and the "ready for pick-up" e-mail.
    ShopStatuses& statuses() { return m_statuses; }
    const ShopStatuses& statuses() const { return m_statuses; }

    const Settings& settings() const { return m_settings; }
    const ShopConfig& config() const { return m_config; }
    const Clock& clock() const { return m_clock; }
    // Runs the central-service requests of the menus off this thread.
    RequestRunner& requests() { return m_requests; }

    // Asked before the product list is in and the self diagnostics have
    // run, the servers start then (the order database's load need not have
    // ended), unless Exit came first; after Exit nothing goes on-line.
    void goOnline();
    void goOffline();
    // Exit, from the menu or by closing the window: at once when off-line
    // and idle; otherwise once the servers have stopped and the order work
    // in progress (the order database's load included) has ended (each
    // within its own time limits). Account
    // requests, the history and the start-up product fetch are abandoned:
    // their connections are closed and their outcomes never shown.
    void exit();
    bool isShutdownPending() const { return m_shutdownPending; }

    // Menu commands that change settings.
    void applyConfiguration(const ConfigurationValues& values);
    void applyNotification(const NotificationValues& values);
    void toggleFontSize();
    void toggleShowLast();
    // Takes the list the trusted customers dialog edited; the lookup goes
    // with it, so the next order registered sees the change.
    void replaceTrustedCustomers(const TrustedCustomers& edited);
    // Writes the values the plug-in parameters dialog accepted into plug-in
    // `index`'s own table.
    void writePluginParameters(std::size_t index, const PluginParamTable& values);

    // One tick of the clock: the clock text, then the midnight purge check.
    void clockTick();

    const PluginHost& plugins() const { return *m_plugins; }
    const TrustedCustomers& trustedCustomers() const { return *m_trusted; }
    const ProductList* products() const { return m_products.get(); }

signals:
    // The order database is loaded into the order book.
    void ordersLoaded();
    // Start-up is over: products fetched, diagnostics run, orders loaded.
    void ready();
    void clockTextChanged(const QString& text);
    void settingsChanged();
    // The logs are written; the window closes (a headless run quits).
    void closeRequested();

private:
    void runDiagnostics();
    void finishInitialisation();
    // Replaces the current product list; the old one is kept, since orders
    // may still point into it.
    void replaceProducts(std::shared_ptr<const ProductList> list);
    void maybeFinishShutdown();
    void finishShutdown();

    ShopConfig m_config;
    Settings& m_application;
    Settings m_settings;
    const Clock& m_clock;

    bool m_initialising = false;
    bool m_productsFetched = false;
    bool m_ordersLoaded = false;
    bool m_ready = false;
    bool m_onlineWhenReady = false;
    // The shop is going away: hand-overs still queued are dropped.
    std::atomic<bool> m_closing{false};
    bool m_shutdownPending = false;
    bool m_closed = false;

    QTimer m_clockTimer;
    MidnightPurgeTrigger m_midnight;

    std::unique_ptr<PluginHost> m_plugins;
    std::unique_ptr<TrustedCustomers> m_trusted;
    std::shared_ptr<const ProductList> m_products;
    std::vector<std::shared_ptr<const ProductList>> m_earlierProducts;

    StatusLines m_status;
    AccountSession m_account;
    OrderBookFiles m_book;
    OrderServers m_servers;
    OrderIntake m_intake;
    ShopStatuses m_statuses;
    // Declared last, so it is destroyed first: it waits for its workers,
    // whose outcomes use the members above.
    RequestRunner m_requests;
};

} // namespace quillon
