#include "core/Shop.h"

#include "core/Logs.h"
#include "core/SelfDiagnostics.h"
#include "core/SettingsStore.h"
#include "orders/Clock.h"
#include "orders/Notification.h"
#include "orders/OrderBook.h"
#include "orders/OrderNumbering.h"
#include "orders/PluginHost.h"
#include "orders/Reception.h"
#include "orders/Registration.h"
#include "orders/SummaryBuilder.h"
#include "orders/TrustedCustomers.h"
#include "protocol/CentralService.h"
#include "protocol/Prompter.h"

#include <QCoreApplication>

namespace quillon {

namespace {

QString qtext(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// Runs `call` on the shop's thread with an object that cannot be copied.
template <class T, class F> void postWith(QObject* shop, std::unique_ptr<T> value, F call) {
    auto holder = std::make_shared<std::unique_ptr<T>>(std::move(value));
    QMetaObject::invokeMethod(
        shop, [holder, call] { call(std::move(*holder)); }, Qt::QueuedConnection);
}

} // namespace

Shop::Shop(ShopConfig config, Settings& application, SettingsStore* store, const Clock& clock,
           Prompter& prompter, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_application(application),
      m_settings(application), m_store(store), m_clock(clock), m_prompter(prompter),
      m_plugins(std::make_unique<PluginHost>()), m_trusted(std::make_unique<TrustedCustomers>()),
      m_orderBook(std::make_unique<OrderBook>(
          joinPath(joinPath(m_config.workingDirectory, "Db"), "OE.DB"))) {
    m_clockTimer.setInterval(5000);
    connect(&m_clockTimer, &QTimer::timeout, this, &Shop::clockTick);
}

Shop::~Shop() {
    // Stop the accept threads first. Queued hand-overs that have not run yet
    // are dropped, which releases any accept thread waiting on them.
    m_stopRequested = true;
    QCoreApplication::removePostedEvents(this);
    m_server1.stop();
    m_server2.stop();
    m_receptions.abortAll();
    QCoreApplication::removePostedEvents(this);
    m_trusted->save(joinPath(joinPath(m_config.workingDirectory, "Db"), "TRUST.TXT"));
    m_plugins->release();
}

ServiceEndpoint Shop::serviceEndpoint() const {
    return ServiceEndpoint{m_settings.hostaddress, m_settings.centralServicePort};
}

void Shop::startClock() {
    m_clockTimer.start();
    clockTick();
}

void Shop::initialise() {
    const std::string& wd = m_config.workingDirectory;
    m_plugins->load(QString::fromStdString(joinPath(wd, "plugin")));
    m_trusted->load(joinPath(joinPath(wd, "Db"), "TRUST.TXT"));

    if (auto fetched = fetchProductList(serviceEndpoint(), m_prompter, m_settings.shopid))
        m_products = std::make_shared<const ProductList>(std::move(*fetched));
    m_orderBook->setProducts(m_products.get());

    DiagnosticsInput diagnostics;
    diagnostics.settings = &m_settings;
    diagnostics.productListFetched = m_products != nullptr;
    diagnostics.preOrder = [this](uint32_t counter, const std::string& rootpath, std::string& name,
                                  std::string& folder) {
        m_plugins->preOrder(counter, rootpath, name, folder);
    };
    int passed =
        runSelfDiagnostics(diagnostics, [this](const std::string& line) { addStatusLine(line); });
    addStatusLine(passed ? "System started." : "System started with errors.");

    m_orderBook->load();
    if (m_settings.purge == 0)
        rebuildTransfers();
    else
        purgeOrders();
    emit ordersChanged();
}

void Shop::addStatusLine(const std::string& text) {
    m_statusLines.push_back(formatStatusLine(m_clock.localNow(), text));
    emit statusLineAdded(qtext(m_statusLines.back()));
}

void Shop::goOnline() {
    if (!m_server1.listen(m_config.server1Port, m_config.listenAddress))
        return;
    m_stopRequested = false;
    if (!m_server1.threadRunning()) {
        m_server1.startThread(
            this, [this](AcceptedConnection c) { handleServer1Connection(std::move(c.socket)); },
            &m_stopRequested, [this] { serversOffline(); }, m_config.acceptWaitMs);
        addStatusLine("Server 1 started. Port " + std::to_string(m_server1.port()) + ".");
    }
    if (!m_server2.listen(m_config.server2Port, m_config.listenAddress))
        return;
    if (!m_server2.threadRunning()) {
        m_server2.startThread(
            this, [this](AcceptedConnection c) { handleServer2Connection(std::move(c)); },
            &m_stopRequested, [this] { serversOffline(); }, m_config.acceptWaitMs, true);
        addStatusLine("Server 2 started. Port " + std::to_string(m_server2.port()) + ".");
    }
    m_offline = false;
    emit onlineChanged(true);
}

void Shop::goOffline() {
    m_stopRequested = true;
}

void Shop::serversOffline() {
    // The first end notice takes both servers off-line; the other accept
    // thread has seen the same stop and ends within one accept wait.
    // A server that listened but never got its thread (its partner failed
    // to bind) is closed too, so its port is free again.
    const bool running1 = m_server1.threadRunning(), running2 = m_server2.threadRunning();
    m_server1.stop();
    m_server2.stop();
    if (running1)
        addStatusLine("Server 1 off-line.");
    if (running2)
        addStatusLine("Server 2 off-line.");
    m_offline = true;
    emit onlineChanged(false);
    if (m_shutdownPending)
        finishShutdown();
}

void Shop::exit() {
    if (m_closed)
        return;
    if (m_offline && !m_server1.threadRunning() && !m_server2.threadRunning()) {
        finishShutdown();
        return;
    }
    m_shutdownPending = true;
    m_stopRequested = true;
}

void Shop::finishShutdown() {
    if (m_closed)
        return;
    m_closed = true;
    addStatusLine("System shutdown.");
    writeSystemLog(m_config.workingDirectory, m_statusLines);
    writeOrderLog();
    emit closeRequested();
}

void Shop::writeOrderLog() {
    m_orderBook->writeXmlLog(nextOrderLogFileName(m_config.workingDirectory));
}

void Shop::setLoggedOut() {
    m_loggedIn = false;
    emit loginChanged(false);
}

void Shop::applyConfiguration(const ConfigurationValues& values) {
    quillon::applyConfiguration(values, m_settings, m_application);
    emit settingsChanged();
}

void Shop::applyNotification(const NotificationValues& values) {
    quillon::applyNotification(values, m_settings, m_application);
    emit settingsChanged();
}

void Shop::toggleFontSize() {
    m_settings.fontsize = !m_settings.fontsize;
    m_application.fontsize = m_settings.fontsize;
    emit settingsChanged();
}

void Shop::toggleShowLast() {
    m_settings.showlast = !m_settings.showlast;
    m_application.showlast = m_settings.showlast;
    emit settingsChanged();
}

void Shop::clockTick() {
    std::tm now = m_clock.localNow();
    emit clockTextChanged(QString::fromStdString(formatClock(now)));
    if (m_midnight.tick(now, m_settings.purge)) {
        purgeOrders();
        m_orderBook->save();
    }
}

void Shop::purgeOrders() {
    std::string log = nextOrderLogFileName(m_config.workingDirectory);
    m_orderBook->purge(purgeAgeDays(m_settings.purge), log, m_clock.now());
    emit ordersChanged();
    rebuildTransfers();
}

void Shop::rebuildTransfers() {
    m_transfers.rebuild(m_completed);
    emit transfersChanged();
}

void Shop::replaceProducts(std::shared_ptr<const ProductList> list) {
    if (m_products)
        m_earlierProducts.push_back(m_products);
    m_products = std::move(list);
    m_orderBook->setProducts(m_products.get());
}

void Shop::handleServer1Connection(std::unique_ptr<Socket> connection) {
    uint16_t key = m_transfers.addReception();
    emit transfersChanged();

    ReceptionParams params;
    params.connection = std::shared_ptr<Socket>(std::move(connection));
    params.plugins = m_plugins.get();
    params.products = m_products;
    params.rowId = key;
    params.rootpath = m_settings.rootpath;
    params.handedOut = &m_handedOutFolders;
    params.clock = &m_clock;
    params.makeSummary = m_config.makeSummaries;
    params.events.completed = [this](std::unique_ptr<OrderEntry> order) {
        postWith(this, std::move(order),
                 [this](std::unique_ptr<OrderEntry> o) { orderCompleted(std::move(o)); });
    };
    params.events.aborted = [this](std::unique_ptr<OrderEntry> order) {
        postWith(this, std::move(order),
                 [this](std::unique_ptr<OrderEntry> o) { orderAborted(std::move(o)); });
    };
    params.events.progress = [this](int rowId, int k, int n, const std::string& number) {
        QMetaObject::invokeMethod(
            this, [this, rowId, k, n, number] { orderProgress(rowId, k, n, number); },
            Qt::QueuedConnection);
    };
    std::shared_ptr<Socket> socket = params.connection;
    m_receptions.start(socket, [params]() mutable { receiveOrder(std::move(params)); });
}

void Shop::orderCompleted(std::unique_ptr<OrderEntry> order) {
    m_receptions.collectFinished();
    m_plugins->postOrder(order->orderNumber, order->folder);
    if (m_settings.notification)
        sendNotification(m_settings.sender, order->customer, m_settings.smtp, m_settings.subject,
                         order->orderNumber, m_settings.body,
                         summaryPath(order->folder, order->orderNumber), m_settings.attach,
                         m_config.workingDirectory);
    PaymentStatusResult payment = requestPaymentStatus(
        serviceEndpoint(), m_prompter, order->reference1, order->reference2, order->orderNumber);
    order->paymentCode = payment.paymentCode;
    order->paymentStatus =
        paymentStatusText(payment.paymentCode, payment.paymentText1, payment.paymentText2);

    uint16_t key = uint16_t(order->rowId);
    CompletedTransfer done{order->orderNumber, order->customer,    order->amount,
                           order->received,    order->paymentCode, order->paymentStatus};
    m_completed.push_back(done);
    m_orderBook->add(std::move(order));
    emit ordersChanged();

    if (TransferRow* row = m_transfers.receptionRow(key)) {
        // An order without files had no progress to name it yet.
        if (row->progress >= 0) {
            row->orderNumber = done.orderNumber;
            row->progress = -1;
            row->transferStatus = orderReceivedText(m_clock.now());
        }
        row->customer = done.customer;
        row->total = formatTotal(done.amount);
        row->paymentStatus = done.paymentStatus;
    }
    m_transfers.removeReception(key);
    emit transfersChanged();
}

void Shop::orderProgress(int rowId, int k, int n, const std::string& orderNumber) {
    uint16_t key = uint16_t(rowId);
    TransferRow* row = m_transfers.receptionRow(key);
    if (!row || n <= 0)
        return;
    row->orderNumber = orderNumber;
    m_transfers.setReceptionProgress(key, int(int64_t(k) * 100 / n));
    if (k == n) {
        row->progress = -1;
        row->transferStatus = orderReceivedText(m_clock.now());
    }
    emit transfersChanged();
}

void Shop::orderAborted(std::unique_ptr<OrderEntry> order) {
    m_receptions.collectFinished();
    addStatusLine("Order " + order->orderNumber + " aborted.");
    uint16_t key = uint16_t(order->rowId);
    if (TransferRow* row = m_transfers.receptionRow(key)) {
        row->progress = -1;
        row->orderNumber = order->orderNumber;
        row->customer = order->customer;
        row->total = "N/A";
        row->transferStatus = "Aborted";
        row->aborted = true;
    }
    // The reception is over: a later rebuild must not show it as receiving.
    m_transfers.removeReception(key);
    emit transfersChanged();
}

void Shop::handleServer2Connection(AcceptedConnection connection) {
    RegistrationContext context;
    context.settings = &m_settings;
    context.plugins = m_plugins.get();
    context.trusted = m_trusted.get();
    context.folders = &m_handedOutFolders;
    context.service = serviceEndpoint();
    context.prompter = &m_prompter;
    context.offline = m_offline;
    context.addStatusLine = [this](const std::string& line) { addStatusLine(line); };
    context.counterAdvanced = [this] {
        m_application.currentnumber = m_settings.currentnumber;
        if (m_store)
            m_store->writeCurrentNumber(m_settings.currentnumber);
    };
    handleRegistrationConnection(*connection.socket, connection.opening, context);
}

} // namespace quillon
