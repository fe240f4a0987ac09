#include "support/shop/ShopHarness.h"

#include "protocol/Credentials.h"
#include "support/PythonServer.h"

#include <algorithm>
#include <future>
#include <gtest/gtest.h>

namespace testsupport {

using namespace quillon;

namespace {

// A netsim command run against the shop while its event loop turns.
constexpr auto kNetsimLimit = std::chrono::seconds(60);

} // namespace

ShopHarness::ShopHarness() {
    store = std::make_unique<SettingsStore>(profileDir.filePath("profile.ini"));
    // Shop number 42, and no central service until useService().
    std::tie(settings.status, settings.shopid, settings.rootpath, settings.hostaddress) =
        std::tuple(2, encryptCredential("O1000042"), rootpath(), "127.0.0.1");
    settings.centralServicePort = settings.chatPort = closedLocalPort();
    config.workingDirectory = folder.str();
    std::tie(config.server1Port, config.server2Port, config.listenAddress, config.acceptWaitMs) =
        std::tuple(0, 0, "127.0.0.1", 200);
}

// Opened at the end whatever happens, so the shop's worker can end.
struct ShopHarness::LoadGate {
    std::promise<void> reached, opened;
    std::future<void> held = reached.get_future();
    std::shared_future<void> open = opened.get_future().share();
    bool released = false;
};

ShopHarness::~ShopHarness() {
    releaseLoad();
    shop.reset();
}

void ShopHarness::holdLoad() {
    m_loadGate = std::make_shared<LoadGate>();
    config.ordersReadHook = [gate = m_loadGate] {
        gate->reached.set_value();
        gate->open.wait();
    };
}

bool ShopHarness::loadHeld() {
    return m_loadGate &&
           m_loadGate->held.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
}

void ShopHarness::releaseLoad() {
    if (m_loadGate && !std::exchange(m_loadGate->released, true))
        m_loadGate->opened.set_value();
}

void ShopHarness::useService(const NetsimService& service) {
    settings.hostaddress = service.host().toStdString();
    settings.centralServicePort = service.servicePort();
    settings.chatPort = service.chatPort();
}

void ShopHarness::create(bool initialise) {
    shop = std::make_unique<Shop>(config, settings, store.get(), clock, prompter);
    if (initialise) {
        shop->initialise();
        EXPECT_TRUE(processUntil([this] { return shop->isReady(); }, std::chrono::seconds(40)));
    }
}

QString ShopHarness::port1() const {
    return QString::number(shop->servers().server1Port());
}
QString ShopHarness::port2() const {
    return QString::number(shop->servers().server2Port());
}

std::vector<std::string> ShopHarness::texts() const {
    std::vector<std::string> out;
    for (const std::string& line : shop->statusLines().lines())
        out.push_back(line.size() >= 16 ? line.substr(16) : line);
    return out;
}

bool ShopHarness::hasLine(const std::string& text) const {
    auto t = texts();
    return std::find(t.begin(), t.end(), text) != t.end();
}

NetsimRun ShopHarness::sendOrders(const QStringList& options) const {
    return runNetsim(QStringList{"send-order", "--shop-number", "42", "--port", port1(),
                                 "--register-port", port2()} +
                         options,
                     kNetsimLimit, true);
}

QMap<QString, QString> ShopHarness::registerOrder(const QString& email, const QString& ref1,
                                                  int shopNumber) const {
    return fieldsOf(
        runNetsim({"register", "--shop-number", QString::number(shopNumber), "--ref1", ref1,
                   "--ref2", "R2", "--email", email, "--port", port2(), "--timeout", "20000"},
                  kNetsimLimit, true)
            .out);
}

QMap<QString, QString> ShopHarness::statusQuery(const QString& shopId) const {
    return fieldsOf(
        runNetsim({"status-query", "--shop-id", shopId, "--port", port2()}, kNetsimLimit, true)
            .out);
}

ServedShop::ServedShop(const QStringList& serviceOptions) {
    EXPECT_TRUE(service.start(QStringList{"--shop", "42:secret:shop@example.com", "--seed"} +
                              serviceOptions))
        << service.log().toStdString();
    h.useService(service);
}

void ServedShop::go(bool initialise) {
    h.create(initialise);
    h.shop->goOnline();
    EXPECT_FALSE(h.shop->servers().isOffline());
}

QMap<QString, QString> fieldsOf(const QString& output) {
    QMap<QString, QString> fields;
    for (const QString& line : output.split('\n')) {
        int colon = line.indexOf(": ");
        if (colon > 0)
            fields[line.left(colon).trimmed()] = line.mid(colon + 2);
    }
    return fields;
}

} // namespace testsupport
