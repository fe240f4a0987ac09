#pragma once

#include "core/Logs.h"
#include "core/OrderServer.h"
#include "core/ReceptionPool.h"
#include "core/RequestRunner.h"
#include "core/TransferList.h"
#include "orders/FolderRegistry.h"
#include "orders/Reception.h"
#include "orders/Settings.h"
#include "protocol/HistoryRequest.h"
#include "protocol/ProductItem.h"
#include "protocol/SessionBlock.h"
#include "protocol/ShopInfoMessages.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class Clock;
class CounterWriter;
class OrderBook;
struct OrderEntry;
class PluginHost;
class PluginParamTable;
class Prompter;
class SettingsStore;
class TrustedCustomers;
struct PaymentStatusResult;
struct ServiceEndpoint;

// The account commands at the central service, as their outcome names them.
enum class AccountCommand {
    Login,
    Logout,
    ChangePassword,
    FetchShopInformation,
    UpdateShopInformation,
    UpdateProducts
};

// Where the shop listens, and the fixed folders and ports it uses. Tests
// change the ports (0 picks a free one) and the listen address.
struct ShopConfig {
    std::string workingDirectory;
    int server1Port = 5553;
    int server2Port = 5552;
    std::string listenAddress; // empty: every interface
    int acceptWaitMs = 2000;
    // Order server 1 takes no more connections while this many receptions
    // run; a reception ends when its sender is silent for the idle limit.
    int maxReceptions = int(ReceptionPool::kDefaultCapacity);
    int receptionIdleLimitMs = kReceptionIdleLimitMs;
    // Thumbnails and summaries of received orders; off only to measure the
    // transfer alone.
    bool makeSummaries = true;
    // Runs on the loading worker once OE.DB has been read, before the load
    // is over; tests hold the load there.
    std::function<void()> ordersReadHook;
};

// The shop's run-time state: the settings working copy, the login session,
// the on-line state with both order servers, plug-ins, product lists,
// trusted customers, receptions and completed transfers, the order book and
// the status lines. It lives on the UI thread; other threads reach it only
// through queued calls, and its own network work runs on workers whose
// outcomes come back as queued calls. A window shows it through read-only
// views and changes it through commands; a headless run drives it alone.
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

    void addStatusLine(const std::string& text);
    const std::vector<std::string>& statusLines() const { return m_statusLines; }
    // Shows the messages one after another through the prompter, once the
    // event loop is free, never from inside a handler.
    void showMessages(const std::vector<std::string>& texts);
    // Adds a status line and shows the same text as a message.
    void reportInStatusLineAndMessage(const std::string& text);
    // True while the message being shown is also a status line already, so
    // a prompter that writes messages into the status lines leaves it out.
    bool showingStatusLineMessage() const { return m_showingStatusLine; }

    const Settings& settings() const { return m_settings; }
    const ShopConfig& config() const { return m_config; }
    const Clock& clock() const { return m_clock; }
    ServiceEndpoint serviceEndpoint() const;
    // Runs the central-service requests of the menus off this thread.
    RequestRunner& requests() { return m_requests; }

    // On-line state and the order servers. Asked while start-up is still
    // running, the servers start as soon as it is over, unless Exit came
    // first; after Exit nothing goes on-line.
    void goOnline();
    void goOffline();
    bool isOffline() const { return m_offline; }
    bool isShutdownPending() const { return m_shutdownPending; }
    int server1Port() const { return m_server1.port(); }
    int server2Port() const { return m_server2.port(); }
    bool server1Running() const { return m_server1.threadRunning(); }
    bool server2Running() const { return m_server2.threadRunning(); }

    // Exit, from the menu or by closing the window: at once when off-line
    // and idle; otherwise once the servers have stopped and the order work
    // in progress has ended (each within its own time limits). Account
    // requests, the history and the start-up product fetch are abandoned:
    // their connections are closed and their outcomes never shown.
    void exit();

    // Login state.
    bool isLoggedIn() const { return m_loggedIn; }
    void setLoggedOut();
    // The shop ID and tokens of the last login.
    const SessionBlock& session() const { return m_session; }

    // The account commands. Each runs its request off this thread, one at a
    // time, and ends with accountCommandFinished(); false, and nothing
    // runs, while another one runs or when the command needs a login that
    // is not there. A session the service reports expired logs the shop
    // out. A command that got no answer, and showed nothing about it, says
    // that the central service could not be reached.
    static constexpr int kNoAnswer = std::numeric_limits<int>::min();
    bool login(const std::string& shopId, const std::string& password);
    bool logout();
    bool changePassword(const std::string& oldPassword, const std::string& newPassword);
    // On success shopInformationFetched() comes before the end.
    bool fetchShopInformation();
    bool updateShopInformation(const ShopInfo& info);
    // Uploads `list`, then makes it the current list, with the status line
    // "Product list modified.", whatever the service answered; a list that
    // got no readable answer was not sent, and nothing changes.
    bool updateProducts(ProductList list);
    bool isAccountBusy() const;
    // The transaction history between two YYMMDD dates for the session, off
    // this thread; historyFetched() brings its rows. An expired session logs
    // the shop out; no connection is said as for the account commands.
    // False, and nothing runs, while a fetch runs.
    bool fetchHistory(int32_t datetime1, int32_t datetime2);
    // The prompter of the shop's messages, for the dialogs of its commands.
    Prompter& prompter() { return m_prompter; }

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
    // Takes the old orders out of the list at once; their order log, their
    // folders and, with `rewrite` (or when the database owes orders), the
    // database rewrite run off this thread, and ordersPurged() tells when
    // that is done. A purge asked for while the database is being written
    // runs after it.
    void purgeOrders(bool rewrite = false);
    // The order book's file work (a purge or a save) runs.
    bool isWritingOrderBook() const { return m_orderBookBusy; }

    const TransferList& transfers() const { return m_transfers; }
    const ReceptionPool& receptions() const { return m_receptions; }
    const OrderBook& orderBook() const { return *m_orderBook; }
    const PluginHost& plugins() const { return *m_plugins; }
    const TrustedCustomers& trustedCustomers() const { return *m_trusted; }
    const ProductList* products() const { return m_products.get(); }
    // Replaces the current product list; the old one is kept, since orders
    // may still point into it.
    void replaceProducts(std::shared_ptr<const ProductList> list);

signals:
    // The order database is loaded into the order book.
    void ordersLoaded();
    // Start-up is over: products fetched, diagnostics run, orders loaded.
    void ready();
    void statusLineAdded(const QString& line);
    void onlineChanged(bool online);
    void loginChanged(bool loggedIn);
    void accountBusyChanged(bool busy);
    // `result`: for login and logout 1 when the login state changed, else
    // 0; for the others the service's returncode, kNoAnswer when none came
    // back.
    void accountCommandFinished(quillon::AccountCommand command, int result);
    void shopInformationFetched(const quillon::ShopInfo& info);
    // Empty unless the service answered with returncode 1.
    void historyFetched(const std::vector<quillon::HistoryRecord>& rows);
    void clockTextChanged(const QString& text);
    void settingsChanged();
    // The logs are written; the window closes (a headless run quits).
    void closeRequested();
    // An order has been stored; `received` is in seconds since 1970.
    void orderReceived(const QString& orderNumber, const QString& customer, const QString& total,
                       qint64 received);
    // A thumbnail made with a new order's summary, for the picture at
    // `path`; emitted before the order is listed. The order keeps none.
    void thumbnailMade(const QString& path, const QImage& thumbnail);
    // A reception ended without an order.
    void orderAborted(const QString& orderNumber, const QString& reason);
    // A purge's file work is done; `removed` orders went.
    void ordersPurged(int removed);

private:
    // The central service for requests that Exit abandons.
    ServiceEndpoint abandonableEndpoint() const;
    void runDiagnostics();
    void finishInitialisation();
    void handleServer1Connection(std::unique_ptr<Socket> connection);
    void handleServer2Connection(AcceptedConnection connection);
    void serverEnded();
    void orderCompleted(std::unique_ptr<OrderEntry> order);
    void storeOrder(std::unique_ptr<OrderEntry> order, const PaymentStatusResult& payment);
    void handOverThumbnails(OrderEntry& order);
    void orderProgress(int rowId, int k, int n, const std::string& orderNumber);
    void receptionAborted(std::unique_ptr<OrderEntry> order, const std::string& reason);
    void maybeFinishShutdown();
    // The order book's file work, one piece at a time, off this thread.
    void saveOrderBook();
    void orderBookWritten(std::optional<bool> saved);
    void databaseDamaged(int recordsRead, const QString& copyName);
    void finishShutdown();
    void showNextMessage();
    template <class R, class Work, class Apply>
    bool runAccountCommand(AccountCommand command, Work work, Apply apply);
    // The returncode of an account request as the finished signal gives it;
    // an expired session logs the shop out.
    int takeReturnCode(std::optional<int32_t> returncode);

    ShopConfig m_config;
    Settings& m_application;
    Settings m_settings;
    std::unique_ptr<CounterWriter> m_counterWriter;
    const Clock& m_clock;
    Prompter& m_prompter;
    // Prompts of the registrations, queued to this thread.
    std::unique_ptr<Prompter> m_queuedPrompter;

    std::vector<std::string> m_statusLines;
    struct QueuedMessage {
        std::string text;
        bool inStatusLines = false;
    };
    std::deque<QueuedMessage> m_messages;
    bool m_showingMessage = false;
    bool m_showingStatusLine = false;

    bool m_initialising = false;
    bool m_productsFetched = false;
    bool m_ordersLoaded = false;
    bool m_ready = false;
    bool m_onlineWhenReady = false;
    bool m_loggedIn = false;
    SessionBlock m_session;

    bool m_offline = true;
    std::atomic<bool> m_stopRequested{false};
    // The shop is going away: hand-overs still queued are dropped.
    std::atomic<bool> m_closing{false};
    bool m_shutdownPending = false;
    bool m_closed = false;
    OrderServer m_server1;
    OrderServer m_server2;
    // The servers whose "started" line still wants its "off-line" line.
    bool m_server1Announced = false;
    bool m_server2Announced = false;

    QTimer m_clockTimer;
    MidnightPurgeTrigger m_midnight;
    // A purge or a save of the order book runs; a purge asked for meanwhile
    // (true: with the rewrite) waits for it.
    bool m_orderBookBusy = false;
    std::optional<bool> m_purgeWaiting;
    // A failure of the order database was reported and not yet put right.
    bool m_orderBookFailing = false;
    bool m_exitSaveTried = false;

    std::unique_ptr<PluginHost> m_plugins;
    std::unique_ptr<TrustedCustomers> m_trusted;
    std::unique_ptr<OrderBook> m_orderBook;
    std::shared_ptr<const ProductList> m_products;
    std::vector<std::shared_ptr<const ProductList>> m_earlierProducts;

    FolderRegistry m_handedOutFolders;
    ReceptionPool m_receptions;
    TransferList m_transfers;
    // Declared last, so it is destroyed first: it waits for its workers,
    // whose outcomes use the members above.
    RequestRunner m_requests;
};

} // namespace quillon
