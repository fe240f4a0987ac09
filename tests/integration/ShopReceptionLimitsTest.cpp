// Order server 1 under senders that stall: a cap on the receptions that run
// at once (later peers wait in the listen backlog) and an idle limit that
// gives a silent sender up.
#include "netlib/Socket.h"
#include "netsim/sender/OrderSender.h"
#include "orders/OrderBook.h"
#include "protocol/OrderHeader.h"
#include "support/shop/ShopHarness.h"

#include <QObject>
#include <future>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

constexpr size_t kCap = 8;

struct LimitedShop {
    ShopHarness h;
    std::vector<std::unique_ptr<Socket>> stalled;
    std::vector<std::string> abortReasons;
    size_t abortsBeforeFirstOrder = 0;

    explicit LimitedShop(int idleLimitMs = 2000) {
        h.config.maxReceptions = int(kCap);
        h.config.receptionIdleLimitMs = idleLimitMs;
        h.create(false);
        QObject::connect(&h.shop->intake(), &OrderIntake::orderAborted,
                         [this](const QString&, const QString& reason) {
                             abortReasons.push_back(reason.toStdString());
                         });
        QObject::connect(&h.shop->intake(), &OrderIntake::orderReceived,
                         [this] { abortsBeforeFirstOrder = abortReasons.size(); });
        h.shop->goOnline();
    }
    // Senders that send an order header and then nothing.
    void stall(int count) {
        for (int i = 0; i < count; ++i) {
            auto s = std::make_unique<Socket>();
            ASSERT_TRUE(s->Connect("127.0.0.1", h.shop->servers().server1Port(), false, 2000));
            OrderHeader header;
            header.orderNumber = "STALL" + std::to_string(stalled.size());
            ASSERT_TRUE(s->SendBytes(header.encode()));
            stalled.push_back(std::move(s));
        }
    }
    // True when the order went whole and the shop closed after it.
    std::future<bool> sendOrderAlongside() {
        OrderToSend o;
        o.number = "GOOD";
        o.folder = h.rootpath() + "/GOOD";
        o.items = {{"a.jpg", {{101, 1}}}};
        o.files = {{"a.jpg", std::string(10000, 'a')}};
        const SenderOptions how{{"127.0.0.1", h.shop->servers().server1Port(), 15000}, 4096};
        return std::async(std::launch::async, [o, how] { return OrderSender(how).send(o); });
    }
    const ReceptionPool& pool() const { return h.shop->intake().receptions(); }
    size_t abortedRows() const {
        size_t n = 0;
        for (const TransferRow& row : h.shop->intake().transfers().rows())
            n += row.aborted && row.transferStatus == "Aborted";
        return n;
    }
};

} // namespace

TEST(ShopReceptionLimits, StalledSendersWaitForASlotAndAreGivenUpAfterTheIdleLimit) {
    LimitedShop s;
    s.stall(12);
    std::future<bool> good = s.sendOrderAlongside();
    ASSERT_TRUE(processUntil([&] { return s.pool().active() == kCap; }));

    ASSERT_TRUE(processUntil(
        [&] {
            return s.h.shop->orderBook().size() == 1 && s.abortedRows() == 12 &&
                   s.pool().active() == 0;
        },
        std::chrono::seconds(30)));
    EXPECT_EQ(std::tuple(s.pool().peakActive(), good.get(),
                         s.h.shop->intake().transfers().receptionCount()),
              std::tuple(kCap, true, 0u));
    // The order waited behind four stalled senders: five slots had to free.
    EXPECT_GE(s.abortsBeforeFirstOrder, 5u);
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(s.h.hasLine("Order STALL" + std::to_string(i) + " aborted.")) << i;
    EXPECT_EQ(s.abortReasons, std::vector<std::string>(12, "the sender was silent for 2 s"));
}

// No stalled sender is given up meanwhile: an order beside a few of them
// completes at once, and once they fill the pool going off-line does not wait
// for a free slot.
TEST(ShopReceptionLimits, AnOrderBesideAFewStalledSendersCompletesAndAFullPoolGoesOffline) {
    LimitedShop s(60000);
    s.stall(5);
    std::future<bool> good = s.sendOrderAlongside();
    ASSERT_TRUE(processUntil([&] { return s.h.shop->orderBook().size() == 1; }));
    EXPECT_EQ(std::tuple(s.abortReasons.size(), s.pool().active(), good.get()),
              std::tuple(0u, 5u, true));

    s.stall(int(kCap) - 3);
    ASSERT_TRUE(processUntil([&] { return s.pool().active() == kCap; }));
    auto start = std::chrono::steady_clock::now();
    s.h.shop->goOffline();
    // Going off-line joins the accept threads, so a wait for a free slot
    // that ignored the stop would show here as the 60-s idle limit.
    ASSERT_TRUE(
        processUntil([&] { return s.h.shop->servers().isOffline(); }, std::chrono::seconds(30)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
}
