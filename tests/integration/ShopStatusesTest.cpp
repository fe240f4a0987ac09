// The shop's order statuses: a new status database settles the orders
// received before it, the purge takes their statuses along, and an order
// that becomes ready for pick-up tells its customer by e-mail.
#include "core/ShopStatuses.h"
#include "orders/FilePaths.h"
#include "orders/Notification.h"
#include "status/StatusDatabase.h"
#include "support/OrderSamples.h"
#include "support/SmtpTestServer.h"
#include "support/shop/ShopHarness.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

constexpr uint32_t kLongAgo = 1'600'000'000;

// Writes the orders into the shop's order database.
void writeOrders(ShopHarness& h, std::vector<std::unique_ptr<OrderEntry>> orders) {
    OrderBook book(h.folder.filePath("Db/OE.DB").toStdString());
    for (auto& order : orders)
        book.add(std::move(order));
}

OrderKey key(const std::string& number, uint32_t received) {
    return {number, received, "/orders/x"};
}

std::vector<StatusHistoryEntry> historyOf(StatusStore& store, const OrderKey& order) {
    std::optional<std::vector<StatusHistoryEntry>> got;
    store.requestHistory(order, [&got](std::vector<StatusHistoryEntry> h) { got = h; });
    EXPECT_TRUE(processUntil([&] { return got.has_value(); }));
    return got.value_or(std::vector<StatusHistoryEntry>{});
}

} // namespace

TEST(ShopStatuses, AHeadlessShopCountsEarlierOrdersPickedUpAndThePurgeTakesTheirStatuses) {
    ShopHarness h;
    const uint32_t today = uint32_t(h.clock.now());
    std::vector<std::unique_ptr<OrderEntry>> orders;
    for (int i = 0; i < 3; ++i)
        orders.push_back(sampleOrder("A-10" + std::to_string(i), kLongAgo + uint32_t(i)));
    orders.push_back(sampleOrder("B-1", today));
    writeOrders(h, std::move(orders));
    h.config.headless = true;
    h.create();
    StatusStore& store = h.shop->statuses().store();
    ASSERT_TRUE(processUntil(
        [&] { return store.statusOf(key("A-102", kLongAgo + 2)) == OrderStatus::PickedUp; }));
    EXPECT_TRUE(h.hasLine("The order status database was created.") &&
                h.hasLine("The 3 orders received before today count as picked up."));
    EXPECT_EQ(std::tuple(store.statusOf(key("B-1", today)), h.prompter.messages().size()),
              std::tuple(OrderStatus::New, 0u));
    EXPECT_EQ(historyOf(store, key("A-100", kLongAgo)).at(0).change.station, "headless");

    // The purge removes the old orders' statuses with the orders.
    ConfigurationValues v = configurationOf(h.shop->settings());
    v.purge = 1;
    h.shop->applyConfiguration(v);
    h.shop->orderBookFiles().purge();
    ASSERT_TRUE(processUntil([&] { return h.shop->orderBook().size() == 1; }));
    EXPECT_TRUE(
        processUntil([&] { return store.statusOf(key("A-100", kLongAgo)) == OrderStatus::New; }));
    h.shop.reset();
    StatusDatabase db(h.folder.filePath("Db/status.sqlite").toStdString());
    const StatusOpening reopened = db.open(h.clock.now());
    EXPECT_EQ(std::tuple(reopened.state, reopened.table.size(),
                         db.history(key("A-100", kLongAgo)).size()),
              std::tuple(StatusOpening::State::Opened, 0u, 0u));
}

TEST(ShopStatuses, AnOrderReadyForPickUpTellsItsCustomerOnceAndFailuresAreSaid) {
    QTemporaryDir mailDir;
    SmtpTestServer smtp{mailDir.path()};
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorOutput().toStdString();
    ShopHarness h;
    const uint32_t today = uint32_t(h.clock.now());
    std::vector<std::unique_ptr<OrderEntry>> orders;
    orders.push_back(sampleOrder("A-100", today, "anna@example.org"));
    orders.push_back(sampleOrder("A-101", kLongAgo, ""));
    writeOrders(h, std::move(orders));
    Settings& s = h.settings;
    s.readymail = true;
    std::tie(s.smtp, s.sender, s.shopname, s.readysubject, s.readybody) =
        std::tuple(smtp.address().toStdString(), "shop@example.com", "Foto Lind", "Ready: %ORDER%",
                   "%ORDER%: %ITEMS% items, %AMOUNT%. %SHOP%");
    h.create();
    ShopStatuses& statuses = h.shop->statuses();
    StatusStore& store = statuses.store();
    // The window asks about the earlier order; No keeps it New.
    ASSERT_TRUE(processUntil([&] { return !h.prompter.messages().empty(); }));
    EXPECT_NE(h.prompter.messages().front().find("the 1 order received before today"),
              std::string::npos);
    const OrderKey anna = key("A-100", today), nobody = key("A-101", kLongAgo);

    auto setStatus = [&](const OrderKey& order, OrderStatus status) {
        ASSERT_NE(statuses.setStatus({order}, status), 0u);
        ASSERT_TRUE(processUntil([&] { return store.statusOf(order) == status; }));
    };
    auto idle = [&] { return processUntil([&] { return h.shop->requests().isIdle(); }); };
    setStatus(anna, OrderStatus::Ready);
    ASSERT_TRUE(smtp.waitForMessages(1));
    const ReceivedMail mail = readReceivedMail(smtp.messageFiles().first());
    EXPECT_EQ(std::tuple(mail.subject, mail.body, mail.envelopeTo),
              std::tuple("Ready: A-100", "A-100: 3 items, 12.75. Foto Lind",
                         QStringList{"anna@example.org"}));
    ASSERT_TRUE(idle());
    EXPECT_TRUE(h.hasLine(
        "Order A-100: anna@example.org was told by e-mail that it is ready for pick-up."));
    const std::vector<StatusHistoryEntry> history = historyOf(store, anna);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(std::tuple(history[0].told, history[0].change.station),
              std::tuple(CustomerTold::Told, "window"));

    // The same status again sends nothing; "Tell the customer again" does.
    setStatus(anna, OrderStatus::Ready);
    statuses.tellCustomerAgain(anna);
    ASSERT_TRUE(smtp.waitForMessages(2));
    ASSERT_TRUE(idle());
    EXPECT_EQ(smtp.messageFiles().size(), 2);

    setStatus(nobody, OrderStatus::Ready);
    ASSERT_TRUE(processUntil([&] {
        return h.hasLine("Order A-101 is ready for pick-up; no e-mail was sent: the order has no "
                         "customer address.");
    }));

    // A server that cannot be reached is said; the status changes anyway.
    NotificationValues v = notificationOf(h.shop->settings());
    v.smtp = "127.0.0.1:" + std::to_string(closedLocalPort());
    h.shop->applyNotification(v);
    setStatus(anna, OrderStatus::PickedUp);
    setStatus(anna, OrderStatus::Ready);
    ASSERT_TRUE(idle());
    EXPECT_TRUE(h.hasLine("Order A-100: the ready for pick-up e-mail to anna@example.org could not "
                          "be sent (see emailerrors.xml)."));
    EXPECT_TRUE(QFile::exists(h.folder.filePath(kEmailErrorsFile)));
    EXPECT_EQ(std::tuple(historyOf(store, anna).back().told, smtp.messageFiles().size()),
              std::tuple(CustomerTold::NotTold, 2));
}
