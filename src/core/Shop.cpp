#include "core/Shop.h"

#include "core/CounterWriter.h"
#include "core/Logs.h"
#include "core/SelfDiagnostics.h"
#include "core/SettingsStore.h"
#include "core/ThreadHop.h"
#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "orders/Notification.h"
#include "orders/OrderBook.h"
#include "orders/PluginHost.h"
#include "orders/QtText.h"
#include "orders/Reception.h"
#include "orders/Registration.h"
#include "orders/SummaryBuilder.h"
#include "orders/ThumbnailLoader.h"
#include "orders/TrustedCustomers.h"
#include "protocol/CentralService.h"
#include "protocol/Prompter.h"
#include "protocol/SessionRequests.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

namespace quillon {

namespace {

// Runs `call` on the shop's thread with an object that cannot be copied.
template <class T, class F> void postWith(QObject* shop, std::unique_ptr<T> value, F call) {
    auto holder = std::make_shared<std::unique_ptr<T>>(std::move(value));
    QMetaObject::invokeMethod(
        shop, [holder, call] { call(std::move(*holder)); }, Qt::QueuedConnection);
}

// A prompter for work on other threads: each message is queued to the
// shop, which shows it when its thread is free.
class QueuedPrompter : public Prompter {
public:
    explicit QueuedPrompter(Shop* shop) : m_shop(shop) {}
    void showMessage(const std::string& text) override {
        // Dropped with the shop if it goes first.
        Shop* shop = m_shop;
        QMetaObject::invokeMethod(
            shop, [shop, text] { shop->showMessages({text}); }, Qt::QueuedConnection);
    }
    bool askYesNo(const std::string& text) override {
        showMessage(text);
        return false;
    }

private:
    Shop* m_shop;
};

} // namespace

Shop::Shop(ShopConfig config, Settings& application, SettingsStore* store, const Clock& clock,
           Prompter& prompter, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_application(application),
      m_settings(application), m_clock(clock), m_prompter(prompter),
      m_queuedPrompter(std::make_unique<QueuedPrompter>(this)),
      m_plugins(std::make_unique<PluginHost>()), m_trusted(std::make_unique<TrustedCustomers>()),
      m_orderBook(std::make_unique<OrderBook>(
          joinPath(joinPath(m_config.workingDirectory, "Db"), "OE.DB"))),
      m_receptions(size_t(std::max(m_config.maxReceptions, 1))) {
    m_clockTimer.setInterval(5000);
    connect(&m_clockTimer, &QTimer::timeout, this, &Shop::clockTick);
    connect(&m_requests, &RequestRunner::idle, this, &Shop::maybeFinishShutdown);
    m_orderBook->setClock(m_clock);
    // Met on the loader's or a writer's thread, or inside an order's append.
    connect(m_orderBook.get(), &OrderBook::databaseDamaged, this, &Shop::databaseDamaged,
            Qt::QueuedConnection);
    if (store)
        m_counterWriter = std::make_unique<CounterWriter>(store->iniFile());
    m_server1.setAdmission(
        [this](std::chrono::milliseconds wait) { return m_receptions.waitForRoom(wait); });
}

Shop::~Shop() {
    // Stop the accept threads first. Hand-overs that have not run yet are
    // dropped, which releases any accept thread waiting on them.
    m_closing = true;
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

ServiceEndpoint Shop::abandonableEndpoint() const {
    ServiceEndpoint service = serviceEndpoint();
    service.hangUp = m_requests.hangUp();
    return service;
}

void Shop::startClock() {
    m_clockTimer.start();
    clockTick();
}

void Shop::initialise() {
    m_initialising = true;
    const std::string& wd = m_config.workingDirectory;
    m_plugins->load(qtPath(joinPath(wd, "plugin")));
    m_trusted->load(joinPath(joinPath(wd, "Db"), "TRUST.TXT"));

    // The product list and the order database are read at the same time: a
    // slow central service must not keep the order list from showing.
    const ServiceEndpoint service = abandonableEndpoint();
    const std::string shopId = m_settings.shopid;
    m_requests.run<std::optional<ProductList>>(
        "products", [service, shopId](Prompter& p) { return fetchProductList(service, p, shopId); },
        [this](RequestOutcome<std::optional<ProductList>> fetched) {
            if (fetched.value)
                m_products = std::make_shared<const ProductList>(std::move(*fetched.value));
            m_orderBook->setProducts(m_products.get());
            showMessages(fetched.messages);
            runDiagnostics();
            m_productsFetched = true;
            finishInitialisation();
        },
        Abandon::Yes);
    // The file is read on a worker; its orders are filed here, so the list
    // and everything that follows the book see them all at once.
    OrderBook* book = m_orderBook.get();
    m_requests.run<OrderBook::Orders>(
        "load",
        [book, hook = m_config.ordersReadHook](Prompter&) {
            OrderBook::Orders loaded;
            book->readDatabase(loaded);
            if (hook)
                hook();
            return loaded;
        },
        [this](RequestOutcome<OrderBook::Orders> read) {
            m_orderBook->fileLoaded(std::move(read.value));
            m_ordersLoaded = true;
            emit ordersLoaded();
            finishInitialisation();
        });
}

void Shop::runDiagnostics() {
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
}

// The last steps, once both the product list and the order database are in.
void Shop::finishInitialisation() {
    if (!m_productsFetched || !m_ordersLoaded)
        return;
    if (m_settings.purge == 0)
        m_transfers.rebuild();
    else
        purgeOrders();
    m_initialising = false;
    m_ready = true;
    emit ready();
    if (m_onlineWhenReady)
        goOnline();
}

void Shop::addStatusLine(const std::string& text) {
    m_statusLines.push_back(formatStatusLine(m_clock.localNow(), text));
    emit statusLineAdded(toQString(m_statusLines.back()));
}

void Shop::showMessages(const std::vector<std::string>& texts) {
    if (texts.empty() || m_closed)
        return;
    for (const std::string& text : texts)
        m_messages.push_back({text, false});
    if (!m_showingMessage)
        QTimer::singleShot(0, this, &Shop::showNextMessage);
}

void Shop::reportInStatusLineAndMessage(const std::string& text) {
    addStatusLine(text);
    if (m_closed)
        return;
    m_messages.push_back({text, true});
    if (!m_showingMessage)
        QTimer::singleShot(0, this, &Shop::showNextMessage);
}

void Shop::showNextMessage() {
    if (m_showingMessage || m_messages.empty() || m_closed)
        return;
    m_showingMessage = true;
    const QueuedMessage message = m_messages.front();
    m_messages.pop_front();
    m_showingStatusLine = message.inStatusLines;
    // A message box runs a loop of its own; the next one waits for it.
    m_prompter.showMessage(message.text);
    m_showingStatusLine = false;
    m_showingMessage = false;
    if (!m_messages.empty())
        QTimer::singleShot(0, this, &Shop::showNextMessage);
}

void Shop::goOnline() {
    // Exit wins: nothing goes on-line after it.
    if (m_shutdownPending)
        return;
    if (m_initialising) {
        m_onlineWhenReady = true;
        return;
    }
    if (!m_server1.listen(m_config.server1Port, m_config.listenAddress))
        return;
    m_stopRequested = false;
    if (!m_server1.threadRunning()) {
        AcceptLoop loop;
        loop.context = this;
        loop.handler = [this](AcceptedConnection c) {
            handleServer1Connection(std::move(c.socket));
        };
        loop.stop = &m_stopRequested;
        loop.abandon = &m_closing;
        loop.ended = [this] { serverEnded(); };
        loop.acceptWaitMs = m_config.acceptWaitMs;
        m_server1.startThread(std::move(loop));
        m_server1Announced = true;
        addStatusLine("Server 1 started. Port " + std::to_string(m_server1.port()) + ".");
    }
    if (!m_server2.listen(m_config.server2Port, m_config.listenAddress))
        return;
    if (!m_server2.threadRunning()) {
        AcceptLoop loop;
        loop.context = this;
        loop.handler = [this](AcceptedConnection c) { handleServer2Connection(std::move(c)); };
        loop.stop = &m_stopRequested;
        loop.abandon = &m_closing;
        loop.ended = [this] { serverEnded(); };
        loop.acceptWaitMs = m_config.acceptWaitMs;
        loop.converseHere = true;
        m_server2.startThread(std::move(loop));
        m_server2Announced = true;
        addStatusLine("Server 2 started. Port " + std::to_string(m_server2.port()) + ".");
    }
    m_offline = false;
    emit onlineChanged(true);
}

void Shop::goOffline() {
    m_onlineWhenReady = false;
    m_stopRequested = true;
}

void Shop::serverEnded() {
    // Join the threads that have ended; one still finishing a conversation
    // sends its own notice when it is done.
    if (m_server1.threadRunning() && m_server1.threadEnded())
        m_server1.stop();
    if (m_server2.threadRunning() && m_server2.threadEnded())
        m_server2.stop();
    // The first end notice takes both servers off-line.
    const bool first = m_server1Announced || m_server2Announced;
    if (std::exchange(m_server1Announced, false))
        addStatusLine("Server 1 off-line.");
    if (std::exchange(m_server2Announced, false))
        addStatusLine("Server 2 off-line.");
    if (first) {
        // A server that listened but never got its thread (its partner
        // failed to bind) is closed too, so its port is free again.
        if (!m_server1.threadRunning())
            m_server1.stop();
        if (!m_server2.threadRunning())
            m_server2.stop();
        m_offline = true;
        emit onlineChanged(false);
    }
    maybeFinishShutdown();
}

void Shop::exit() {
    if (m_closed)
        return;
    m_shutdownPending = true;
    m_onlineWhenReady = false;
    m_stopRequested = true;
    // Nothing needs the outcome of an account request, the history or a
    // product list still being fetched: their connections are closed, and
    // only order work is waited for.
    m_requests.abandon();
    maybeFinishShutdown();
}

void Shop::maybeFinishShutdown() {
    if (!m_shutdownPending || m_closed)
        return;
    if (m_server1.threadRunning() || m_server2.threadRunning() || !m_requests.isIdle())
        return;
    // The last chance for orders whose records could not be stored.
    if (m_orderBook->saveOwed() && !std::exchange(m_exitSaveTried, true)) {
        saveOrderBook();
        return;
    }
    finishShutdown();
}

void Shop::finishShutdown() {
    m_closed = true;
    m_messages.clear();
    addStatusLine("System shutdown.");
    writeSystemLog(m_config.workingDirectory, m_statusLines);
    m_orderBook->writeXmlLog(nextOrderLogFileName(m_config.workingDirectory));
    emit closeRequested();
}

void Shop::setLoggedOut() {
    m_loggedIn = false;
    emit loginChanged(false);
}

namespace {

// One account command at a time: they share the session.
constexpr char kAccountRequest[] = "account";

// Whether an account request got an answer to go by. Every answer to a
// login shows the service's text, so one without a message got none.
bool answered(const LoginResult& login) {
    return login.loggedIn;
}
bool answered(const LogoutResult& logout) {
    return logout.answered;
}
bool answered(const std::optional<int32_t>& returncode) {
    return returncode.has_value();
}
bool answered(const ShopInfoFetch& fetched) {
    return fetched.returncode.has_value();
}

} // namespace

bool Shop::isAccountBusy() const {
    return m_requests.isRunning(kAccountRequest);
}

template <class R, class Work, class Apply>
bool Shop::runAccountCommand(AccountCommand command, Work work, Apply apply) {
    const ServiceEndpoint service = abandonableEndpoint();
    const bool started = m_requests.run<R>(
        kAccountRequest, [service, work](Prompter& p) { return work(service, p); },
        [this, command, apply](RequestOutcome<R> outcome) {
            const int result = apply(outcome.value);
            if (!answered(outcome.value) && outcome.messages.empty())
                outcome.messages.push_back(kServiceUnreachableText);
            showMessages(outcome.messages);
            emit accountBusyChanged(false);
            emit accountCommandFinished(command, result);
        },
        Abandon::Yes);
    if (started)
        emit accountBusyChanged(true);
    return started;
}

int Shop::takeReturnCode(std::optional<int32_t> returncode) {
    if (returncode == kReturnSessionExpired)
        setLoggedOut();
    return returncode.value_or(kNoAnswer);
}

bool Shop::login(const std::string& shopId, const std::string& password) {
    if (m_loggedIn)
        return false;
    return runAccountCommand<LoginResult>(
        AccountCommand::Login,
        [shopId, password](const ServiceEndpoint& s, Prompter& p) {
            return quillon::login(s, p, shopId, password);
        },
        [this](const LoginResult& result) {
            if (!result.loggedIn)
                return 0;
            m_session = result.session;
            m_loggedIn = true;
            emit loginChanged(true);
            return 1;
        });
}

bool Shop::logout() {
    if (!m_loggedIn)
        return false;
    return runAccountCommand<LogoutResult>(
        AccountCommand::Logout,
        [session = m_session](const ServiceEndpoint& s, Prompter& p) {
            return quillon::logout(s, p, session);
        },
        [this](const LogoutResult& result) {
            if (!result.loggedOut || !m_loggedIn)
                return 0;
            setLoggedOut();
            return 1;
        });
}

bool Shop::changePassword(const std::string& oldPassword, const std::string& newPassword) {
    if (!m_loggedIn)
        return false;
    return runAccountCommand<std::optional<int32_t>>(
        AccountCommand::ChangePassword,
        [session = m_session, oldPassword, newPassword](const ServiceEndpoint& s, Prompter& p) {
            return quillon::changePassword(s, p, session, oldPassword, newPassword);
        },
        [this](std::optional<int32_t> rc) { return takeReturnCode(rc); });
}

bool Shop::fetchShopInformation() {
    if (!m_loggedIn)
        return false;
    return runAccountCommand<ShopInfoFetch>(
        AccountCommand::FetchShopInformation,
        [session = m_session](const ServiceEndpoint& s, Prompter& p) {
            return quillon::fetchShopInformation(s, p, session);
        },
        [this](const ShopInfoFetch& fetched) {
            if (fetched.returncode == kReturnDone)
                emit shopInformationFetched(fetched.info);
            return takeReturnCode(fetched.returncode);
        });
}

bool Shop::updateShopInformation(const ShopInfo& info) {
    if (!m_loggedIn)
        return false;
    return runAccountCommand<std::optional<int32_t>>(
        AccountCommand::UpdateShopInformation,
        [session = m_session, info](const ServiceEndpoint& s, Prompter& p) {
            return quillon::updateShopInformation(s, p, session, info);
        },
        [this](std::optional<int32_t> rc) { return takeReturnCode(rc); });
}

bool Shop::updateProducts(ProductList list) {
    if (!m_loggedIn)
        return false;
    auto edited = std::make_shared<const ProductList>(std::move(list));
    return runAccountCommand<std::optional<int32_t>>(
        AccountCommand::UpdateProducts,
        [session = m_session, edited](const ServiceEndpoint& s, Prompter& p) {
            return updateProductList(s, p, session, *edited);
        },
        [this, edited](std::optional<int32_t> rc) {
            // Without an answer the list may not have reached the service:
            // the edits stay with whoever made them.
            if (rc) {
                replaceProducts(edited);
                addStatusLine("Product list modified.");
            }
            return takeReturnCode(rc);
        });
}

bool Shop::fetchHistory(int32_t datetime1, int32_t datetime2) {
    const ServiceEndpoint service = abandonableEndpoint();
    return m_requests.run<HistoryFetch>(
        "history",
        [service, session = m_session, datetime1, datetime2](Prompter& p) {
            return quillon::fetchHistory(service, p, session, datetime1, datetime2);
        },
        [this](RequestOutcome<HistoryFetch> outcome) {
            takeReturnCode(outcome.value.returncode);
            // -2 with nothing shown: no connection could be made.
            if (outcome.value.returncode == kReturnRefused && outcome.messages.empty())
                outcome.messages.push_back(kServiceUnreachableText);
            showMessages(outcome.messages);
            emit historyFetched(outcome.value.rows);
        },
        Abandon::Yes);
}

void Shop::applyConfiguration(const ConfigurationValues& values) {
    quillon::applyConfiguration(values, m_settings, m_application);
    emit settingsChanged();
}

void Shop::applyNotification(const NotificationValues& values) {
    quillon::applyNotification(values, m_settings, m_application);
    emit settingsChanged();
}

void Shop::replaceTrustedCustomers(const TrustedCustomers& edited) {
    *m_trusted = edited;
}

void Shop::writePluginParameters(std::size_t index, const PluginParamTable& values) {
    m_plugins->writeParameters(index, values);
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
    if (m_midnight.tick(now, m_settings.purge))
        purgeOrders(true);
}

void Shop::replaceProducts(std::shared_ptr<const ProductList> list) {
    if (m_products)
        m_earlierProducts.push_back(m_products);
    m_products = std::move(list);
    m_orderBook->setProducts(m_products.get());
}

void Shop::handleServer1Connection(std::unique_ptr<Socket> connection) {
    uint16_t key = m_transfers.addReception();

    ReceptionParams params;
    params.connection = std::shared_ptr<Socket>(std::move(connection));
    params.plugins = m_plugins.get();
    params.products = m_products;
    params.rowId = key;
    params.rootpath = m_settings.rootpath;
    params.handedOut = &m_handedOutFolders;
    params.clock = &m_clock;
    params.makeSummary = m_config.makeSummaries;
    params.idleLimitMs = m_config.receptionIdleLimitMs;
    params.events.completed = [this](std::unique_ptr<OrderEntry> order) {
        postWith(this, std::move(order),
                 [this](std::unique_ptr<OrderEntry> o) { orderCompleted(std::move(o)); });
    };
    params.events.aborted = [this](std::unique_ptr<OrderEntry> order, const std::string& reason) {
        postWith(this, std::move(order), [this, reason](std::unique_ptr<OrderEntry> o) {
            receptionAborted(std::move(o), reason);
        });
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
    // The payment status is asked first, since its code is part of the
    // order's record; the order is stored as soon as the answer is in (or
    // the request has failed), and the e-mail goes after that.
    const ServiceEndpoint service = serviceEndpoint();
    const std::string ref1 = order->reference1, ref2 = order->reference2;
    const std::string number = order->orderNumber;
    auto holder = std::make_shared<std::unique_ptr<OrderEntry>>(std::move(order));
    m_requests.run<PaymentStatusResult>(
        "",
        [service, ref1, ref2, number](Prompter& p) {
            return requestPaymentStatus(service, p, ref1, ref2, number);
        },
        [this, holder](RequestOutcome<PaymentStatusResult> payment) {
            storeOrder(std::move(*holder), payment.value);
            showMessages(payment.messages);
        });
}

void Shop::storeOrder(std::unique_ptr<OrderEntry> order, const PaymentStatusResult& payment) {
    order->paymentCode = payment.paymentCode;
    order->paymentStatus =
        paymentStatusText(payment.paymentCode, payment.paymentText1, payment.paymentText2);
    const uint16_t key = uint16_t(order->rowId);
    const CompletedTransfer done{order->orderNumber, order->customer,    order->amount,
                                 order->received,    order->paymentCode, order->paymentStatus};
    const Settings& s = m_settings;
    const bool notify = s.notification;
    auto mail = [sender = s.sender, customer = order->customer, smtp = s.smtp, subject = s.subject,
                 number = order->orderNumber, body = s.body,
                 summary = summaryPath(order->folder, order->orderNumber), attach = s.attach,
                 errors = m_config.workingDirectory](Prompter&) {
        return sendNotification(sender, customer, smtp, subject, number, body, summary, attach,
                                errors);
    };

    handOverThumbnails(*order);
    // A database that failed before is written whole at this next chance.
    const bool owed = m_orderBook->saveOwed();
    if (!m_orderBook->add(std::move(order))) {
        m_orderBookFailing = true;
        addStatusLine("Order " + done.orderNumber +
                      " could not be stored in the order database; it stays listed and is "
                      "stored with the next order, purge or exit.");
    }
    if (owed)
        saveOrderBook();
    m_transfers.setCompleted(key, done, m_clock.now());
    if (notify)
        m_requests.run<int>("", mail, [](RequestOutcome<int>) {});
    emit orderReceived(toQString(done.orderNumber), toQString(done.customer),
                       QString::fromStdString(formatTotal(done.amount)), done.received);
}

void Shop::handOverThumbnails(OrderEntry& order) {
    const std::vector<QImage> thumbnails = std::move(order.thumbnails);
    order.thumbnails.clear();
    for (size_t p = 0; p < thumbnails.size() && p < order.pictures.size(); ++p)
        if (!thumbnails[p].isNull())
            emit thumbnailMade(picturePath(order.folder, order.pictures[p].fileName),
                               thumbnails[p]);
}

void Shop::orderProgress(int rowId, int k, int n, const std::string& orderNumber) {
    m_transfers.setProgress(uint16_t(rowId), k, n, orderNumber, m_clock.now());
}

void Shop::receptionAborted(std::unique_ptr<OrderEntry> order, const std::string& reason) {
    m_receptions.collectFinished();
    addStatusLine("Order " + order->orderNumber + " aborted.");
    m_transfers.setAborted(uint16_t(order->rowId), order->orderNumber, order->customer);
    emit orderAborted(toQString(order->orderNumber), toQString(reason));
}

void Shop::handleServer2Connection(AcceptedConnection connection) {
    // Runs on order server 2's accept thread; the shop's state is touched
    // only through onShop.
    RegistrationContext context;
    context.settings = &m_settings;
    context.plugins = m_plugins.get();
    context.trusted = m_trusted.get();
    context.folders = &m_handedOutFolders;
    context.offline = &m_offline;
    context.onShop = [this](const std::function<void()>& step) {
        return runOnThreadAndWait(this, step, m_closing);
    };
    context.addStatusLine = [this](const std::string& line) { addStatusLine(line); };
    context.counterAdvanced = [this] {
        m_application.currentnumber = m_settings.currentnumber;
        if (m_counterWriter)
            m_counterWriter->write(m_settings.currentnumber);
    };
    context.prompter = m_queuedPrompter.get();
    handleRegistrationConnection(*connection.socket, connection.opening, context);
}

} // namespace quillon
