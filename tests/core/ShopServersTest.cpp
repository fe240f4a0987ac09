#include "core/Prompters.h"
#include "core/Shop.h"
#include "netlib/Socket.h"
#include "orders/Clock.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace quillon;
using namespace std::chrono;
using testsupport::processUntil;

namespace {

struct ShopFixture {
    testsupport::ShopFolder folder;
    Settings settings;
    ManualClock clock{1796000000};
    RecordingPrompter prompter;
    std::unique_ptr<Shop> shop;

    explicit ShopFixture(int port1 = 0, int port2 = 0) {
        settings.rootpath = folder.filePath("Orders").toStdString();
        ShopConfig config;
        config.workingDirectory = folder.str();
        config.server1Port = port1;
        config.server2Port = port2;
        config.listenAddress = "127.0.0.1";
        config.acceptWaitMs = 200;
        shop = std::make_unique<Shop>(config, settings, nullptr, clock, prompter);
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const std::string& line : shop->statusLines())
            out.push_back(line.substr(16)); // past the time stamp and its two blanks
        return out;
    }
};

} // namespace

TEST(ShopServers, Port1TakenStaysOfflineSilently) {
    Socket taken;
    ASSERT_TRUE(taken.BindAndListen(0, 5, "127.0.0.1"));
    ShopFixture f(taken.LocalPort(), 0);
    f.shop->goOnline();
    EXPECT_TRUE(f.shop->isOffline());
    EXPECT_TRUE(f.shop->statusLines().empty());
    EXPECT_FALSE(f.shop->server1Running());
}

TEST(ShopServers, Port2TakenLeavesServer1RunningOnce) {
    Socket taken;
    ASSERT_TRUE(taken.BindAndListen(0, 5, "127.0.0.1"));
    ShopFixture f(0, taken.LocalPort());
    f.shop->goOnline();
    EXPECT_TRUE(f.shop->isOffline());
    ASSERT_EQ(f.texts().size(), 1u);
    EXPECT_EQ(f.texts()[0],
              "Server 1 started. Port " + std::to_string(f.shop->server1Port()) + ".");
    EXPECT_TRUE(f.shop->server1Running());

    f.shop->goOnline(); // again: no second server-1 thread, no second line
    EXPECT_EQ(f.texts().size(), 1u);
    EXPECT_TRUE(f.shop->isOffline());

    taken.Close();
    f.shop->goOnline(); // port 2 free now: the system goes on-line
    EXPECT_FALSE(f.shop->isOffline());
    ASSERT_EQ(f.texts().size(), 2u);
    EXPECT_EQ(f.texts()[1].rfind("Server 2 started. Port ", 0), 0u);
}

TEST(ShopServers, OnlineAcceptsAndOfflineStops) {
    ShopFixture f;
    f.shop->goOnline();
    ASSERT_FALSE(f.shop->isOffline());
    // Both ports accept connections while on-line. The peers stay silent:
    // that must neither hold the shop's thread nor delay going off-line.
    Socket c1, c2;
    EXPECT_TRUE(c1.Connect("127.0.0.1", f.shop->server1Port(), false, 2000));
    EXPECT_TRUE(c2.Connect("127.0.0.1", f.shop->server2Port(), false, 2000));
    std::this_thread::sleep_for(milliseconds(100));

    int port1 = f.shop->server1Port();
    auto start = steady_clock::now();
    f.shop->goOffline();
    ASSERT_TRUE(processUntil([&] { return f.shop->isOffline(); }, seconds(5)));
    EXPECT_LT(steady_clock::now() - start, seconds(3));
    auto t = f.texts();
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[t.size() - 2], "Server 1 off-line.");
    EXPECT_EQ(t[t.size() - 1], "Server 2 off-line.");
    // The port is free again after going off-line.
    Socket again;
    EXPECT_TRUE(again.BindAndListen(port1, 5, "127.0.0.1"));
}

TEST(ShopServers, ExitWhileOnlineWaitsForTheServersThenWritesTheLogs) {
    ShopFixture f;
    f.shop->goOnline();
    ASSERT_FALSE(f.shop->isOffline());
    bool closed = false;
    QObject::connect(f.shop.get(), &Shop::closeRequested, [&] { closed = true; });
    auto start = steady_clock::now();
    f.shop->exit();
    EXPECT_FALSE(closed);
    ASSERT_TRUE(processUntil([&] { return closed; }, seconds(5)));
    EXPECT_LT(steady_clock::now() - start, milliseconds(2500));
    auto t = f.texts();
    ASSERT_GE(t.size(), 5u);
    EXPECT_EQ(t[t.size() - 3], "Server 1 off-line.");
    EXPECT_EQ(t[t.size() - 2], "Server 2 off-line.");
    EXPECT_EQ(t[t.size() - 1], "System shutdown.");
    EXPECT_EQ(f.folder.files("SystemLog"), QStringList{"SYSLOG000000.TXT"});
    EXPECT_EQ(f.folder.files("OrderLog"), QStringList{"ORDERLOG000000.XML"});
    QByteArray log = testsupport::readFile(f.folder.filePath("SystemLog/SYSLOG000000.TXT"));
    EXPECT_TRUE(log.endsWith("System shutdown.\r\n"));
}

TEST(ShopServers, ExitWhileOfflineClosesAtOnce) {
    ShopFixture f;
    bool closed = false;
    QObject::connect(f.shop.get(), &Shop::closeRequested, [&] { closed = true; });
    f.shop->exit();
    EXPECT_TRUE(closed);
    EXPECT_EQ(f.texts().back(), "System shutdown.");
    // An empty order list still gives an order log: declaration and an empty log.
    QByteArray xml = testsupport::readFile(f.folder.filePath("OrderLog/ORDERLOG000000.XML"));
    EXPECT_EQ(xml, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n</log>\r\n"));
}

TEST(ShopServers, DestroyingAnOnlineShopDoesNotHang) {
    auto start = steady_clock::now();
    {
        ShopFixture f;
        f.shop->goOnline();
        Socket c;
        EXPECT_TRUE(c.Connect("127.0.0.1", f.shop->server2Port(), false, 2000));
        std::this_thread::sleep_for(milliseconds(100)); // a hand-over is queued, never run
    }
    EXPECT_LT(steady_clock::now() - start, seconds(3));
}
