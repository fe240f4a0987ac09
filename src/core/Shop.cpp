#include "core/Shop.h"

#include "core/SelfDiagnostics.h"
#include "core/WorkingFolders.h"
#include "orders/Clock.h"
#include "orders/FilePaths.h"
#include "orders/OrderBook.h"
#include "orders/PluginHost.h"
#include "orders/TrustedCustomers.h"
#include "protocol/CentralService.h"

#include <utility>

namespace quillon {

namespace {

std::string trustedCustomersFile(const std::string& workingDirectory) {
    return joinPath(joinPath(workingDirectory, kDbFolder), "TRUST.TXT");
}

} // namespace

Shop::Shop(ShopConfig config, Settings& application, SettingsStore* store, const Clock& clock,
           Prompter& prompter, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_application(application),
      m_settings(application), m_clock(clock), m_plugins(std::make_unique<PluginHost>()),
      m_trusted(std::make_unique<TrustedCustomers>()), m_status(m_clock, prompter),
      m_account(
          m_settings, m_requests, m_status,
          [this](std::shared_ptr<const ProductList> list) { replaceProducts(std::move(list)); }),
      m_book(m_config.workingDirectory, m_settings, m_clock, m_requests, m_status),
      m_servers(m_config, m_status, m_closing,
                {[this](AcceptedConnection c) { m_intake.receive(std::move(c.socket)); },
                 [this](std::chrono::milliseconds wait) { return m_intake.waitForRoom(wait); },
                 [this](AcceptedConnection c) { m_intake.answerRegistration(std::move(c)); }}),
      m_intake({m_config, m_settings, m_application, store, m_clock, *m_plugins, *m_trusted,
                m_products, m_book, m_account, m_status, m_requests, m_servers.offlineFlag(),
                m_closing}),
      m_statuses({m_config, m_settings, m_clock, m_book.book(), m_status, prompter, m_requests}) {
    m_clockTimer.setInterval(5000);
    connect(&m_clockTimer, &QTimer::timeout, this, &Shop::clockTick);
    connect(&m_requests, &RequestRunner::idle, this, &Shop::maybeFinishShutdown);
    connect(&m_servers, &OrderServers::loopEnded, this, &Shop::maybeFinishShutdown);
    // After the statuses' own handling of the answer, so its lines are in.
    connect(&m_statuses.store(), &StatusStore::opened, this, &Shop::maybeFinishShutdown);
    connect(&m_book, &OrderBookFiles::purged, &m_intake,
            [this] { m_intake.transfers().rebuild(); });
    connect(&m_book, &OrderBookFiles::purging, &m_statuses, &ShopStatuses::forget);
    connect(this, &Shop::ready, &m_statuses, &ShopStatuses::startUpDone);
    connect(&m_book, &OrderBookFiles::loaded, this, [this] {
        m_ordersLoaded = true;
        emit ordersLoaded();
        finishInitialisation();
    });
}

Shop::~Shop() {
    // Stop the accept threads first. Hand-overs that have not run yet are
    // dropped, which releases any accept thread waiting on them.
    m_closing = true;
    m_servers.close();
    m_intake.close();
    m_trusted->save(trustedCustomersFile(m_config.workingDirectory));
    m_plugins->release();
}

void Shop::startClock() {
    m_clockTimer.start();
    clockTick();
}

void Shop::initialise() {
    m_initialising = true;
    const std::string& wd = m_config.workingDirectory;
    m_plugins->load(qtPath(joinPath(wd, kPluginFolder)));
    m_trusted->load(trustedCustomersFile(wd));
    m_statuses.open();

    // The product list and the order database are read at the same time: a
    // slow central service must not keep the order list from showing.
    const ServiceEndpoint service = m_account.abandonableEndpoint();
    const std::string shopId = m_settings.shopid;
    m_requests.run<std::optional<ProductList>>(
        "products", [service, shopId](Prompter& p) { return fetchProductList(service, p, shopId); },
        [this](RequestOutcome<std::optional<ProductList>> fetched) {
            if (fetched.value)
                m_products = std::make_shared<const ProductList>(std::move(*fetched.value));
            m_book.book().setProducts(m_products.get());
            m_status.showMessages(fetched.messages);
            runDiagnostics();
            m_productsFetched = true;
            // The servers need not wait for the order database: the orders
            // they receive meanwhile are listed at once and stored after it.
            if (std::exchange(m_onlineWhenReady, false))
                goOnline();
            finishInitialisation();
        },
        Abandon::Yes);
    m_book.load(m_config.ordersReadHook);
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
        runSelfDiagnostics(diagnostics, [this](const std::string& line) { m_status.add(line); });
    m_status.add(passed ? "System started." : "System started with errors.");
}

// The last steps, once both the product list and the order database are in.
void Shop::finishInitialisation() {
    if (!m_productsFetched || !m_ordersLoaded)
        return;
    if (m_settings.purge == 0)
        m_intake.transfers().rebuild();
    else
        m_book.purge();
    m_initialising = false;
    m_ready = true;
    emit ready();
}

void Shop::goOnline() {
    // Exit wins: nothing goes on-line after it.
    if (m_shutdownPending)
        return;
    if (m_initialising && !m_productsFetched) {
        m_onlineWhenReady = true;
        return;
    }
    m_servers.start();
}

void Shop::goOffline() {
    m_onlineWhenReady = false;
    m_servers.stop();
}

void Shop::exit() {
    if (m_closed)
        return;
    m_shutdownPending = true;
    m_onlineWhenReady = false;
    m_servers.stop();
    m_book.prepareExit();
    // Nothing needs the outcome of an account request, the history or a
    // product list still being fetched: their connections are closed, and
    // only order work is waited for.
    m_requests.abandon();
    maybeFinishShutdown();
}

void Shop::maybeFinishShutdown() {
    if (!m_shutdownPending || m_closed)
        return;
    // What the status database's opening says belongs in the system log,
    // which the shutdown writes.
    if (m_servers.isRunning() || !m_requests.isIdle() || m_statuses.store().isOpening())
        return;
    if (m_book.saveOwedOrders())
        return;
    finishShutdown();
}

void Shop::finishShutdown() {
    m_closed = true;
    m_status.close();
    m_status.add("System shutdown.");
    writeSystemLog(m_config.workingDirectory, m_status.lines());
    m_book.book().writeXmlLog(nextOrderLogFileName(m_config.workingDirectory));
    emit closeRequested();
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
        m_book.purge(true);
}

void Shop::replaceProducts(std::shared_ptr<const ProductList> list) {
    if (m_products)
        m_earlierProducts.push_back(m_products);
    m_products = std::move(list);
    m_book.book().setProducts(m_products.get());
}

} // namespace quillon
