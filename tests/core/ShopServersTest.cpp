#include "core/ThreadHop.h"
#include "netlib/Socket.h"
#include "support/LoopbackPeer.h"
#include "support/shop/ShopHarness.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

bool connectTo(Socket& client, int port) {
    return client.Connect("127.0.0.1", port, false, 2000);
}

} // namespace

TEST(ShopServers, ATakenPortKeepsTheShopOffline) {
    Socket taken;
    ASSERT_TRUE(taken.BindAndListen(0, 5, "127.0.0.1"));
    ShopHarness first;
    first.config.server1Port = taken.LocalPort();
    first.create(false);
    first.shop->goOnline();
    // Port 1 taken: silently off-line.
    EXPECT_EQ(std::tuple(first.shop->servers().isOffline(), first.texts().size(),
                         first.shop->servers().server1Running()),
              std::tuple(true, 0u, false));

    ShopHarness second;
    second.config.server2Port = taken.LocalPort();
    second.create(false);
    for (int i = 0; i < 2; ++i) { // again: no second server-1 thread, no second line
        second.shop->goOnline();
        EXPECT_TRUE(second.shop->servers().isOffline() && second.shop->servers().server1Running());
        EXPECT_EQ(second.texts(), std::vector<std::string>{"Server 1 started. Port " +
                                                           second.port1().toStdString() + "."});
    }
    taken.Close();
    second.shop->goOnline(); // port 2 free now: the system goes on-line
    EXPECT_FALSE(second.shop->servers().isOffline());
    EXPECT_EQ(second.texts().back(),
              "Server 2 started. Port " + second.port2().toStdString() + ".");
}

TEST(ShopServers, SilentPeersHoldNeitherGoingOfflineNorExit) {
    ShopHarness h;
    h.create(false);
    h.shop->goOnline();
    ASSERT_FALSE(h.shop->servers().isOffline());
    int port1 = h.shop->servers().server1Port();
    Socket c1, c2;
    ASSERT_TRUE(connectTo(c1, port1));
    ASSERT_TRUE(connectTo(c2, h.shop->servers().server2Port()));
    // Server 1 has handed its connection over: a reception row.
    ASSERT_TRUE(processUntil([&] { return h.shop->intake().transfers().receptionCount() == 1; }));
    h.shop->goOffline();
    // Off-line at the first server's end; the other's thread ends after it.
    ASSERT_TRUE(processUntil(
        [&] {
            return h.shop->servers().isOffline() && !h.shop->servers().server1Running() &&
                   !h.shop->servers().server2Running();
        },
        std::chrono::seconds(5)));
    auto t = h.texts();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(std::vector(t.end() - 2, t.end()),
              (std::vector<std::string>{"Server 1 off-line.", "Server 2 off-line."}));
    {
        Socket again;
        EXPECT_TRUE(again.BindAndListen(port1, 5, "127.0.0.1")) << "port 1 is free again";
    }

    h.shop->goOnline();
    ASSERT_FALSE(h.shop->servers().isOffline());
    Socket c3;
    ASSERT_TRUE(connectTo(c3, h.shop->servers().server2Port()));
    // Exit while on-line waits for the servers (the lines and logs it then
    // writes are the headless shop's test).
    bool closed = false;
    QObject::connect(h.shop.get(), &Shop::closeRequested, [&] { closed = true; });
    h.shop->exit();
    EXPECT_FALSE(closed);
    ASSERT_TRUE(processUntil([&] { return closed; }, std::chrono::seconds(5)));
}

TEST(ShopServers, ExitWhileOfflineClosesAtOnce) {
    ShopHarness h;
    h.create(false);
    bool closed = false;
    QObject::connect(h.shop.get(), &Shop::closeRequested, [&] { closed = true; });
    h.shop->exit();
    EXPECT_EQ(std::tuple(closed, h.texts().back()), std::tuple(true, "System shutdown."));
}

TEST(ShopServers, DestroyingAnOnlineShopWithHandOversPendingDoesNotHang) {
    ShopHarness h;
    h.create(false);
    h.shop->goOnline();
    Socket c1, c2;
    ASSERT_TRUE(connectTo(c1, h.shop->servers().server1Port()));
    ASSERT_TRUE(connectTo(c2, h.shop->servers().server2Port()));
    // A new-order opening too short for its kind, which server 2's thread
    // reports on the shop's thread.
    ASSERT_TRUE(c2.SendBytes(ByteData(u32le(6) + u32le(1))));
    // The test thread runs no events: both threads' steps stay queued.
    ASSERT_TRUE(waitUntil([] { return stepsWaiting() == 2; }));
    h.shop.reset(); // a hang here ends in the test's time-out
    EXPECT_EQ(stepsWaiting(), 0);
}

TEST(ShopServers, ExitDuringStartUpWinsOverOnLineAskedForEarly) {
    ShopHarness h;
    h.create(false);
    bool closed = false;
    QObject::connect(h.shop.get(), &Shop::closeRequested, [&] { closed = true; });
    h.shop->initialise();
    h.shop->goOnline(); // as --online does: waits for start-up to end
    h.shop->exit();
    ASSERT_TRUE(processUntil([&] { return closed; }, std::chrono::seconds(15)));
    EXPECT_EQ(std::tuple(h.shop->servers().isOffline(), h.shop->servers().server1Running(),
                         h.shop->servers().server2Running()),
              std::tuple(true, false, false));
    for (const std::string& line : h.texts())
        EXPECT_EQ(line.find("started. Port"), std::string::npos) << line;
    EXPECT_EQ(h.texts().back(), "System shutdown.");
}
