// New-order registration and the status query on a real shop's order
// server 2, driven by `quillon-netsim register` and `status-query`, with the
// simulated central service answering the shop's order check and report.
#include "core/WorkingFolders.h"
#include "netlib/Socket.h"
#include "support/PluginFolder.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

// Applies the configuration values that `change` edits.
void configure(ShopHarness& h, const std::function<void(ConfigurationValues&)>& change) {
    ConfigurationValues v = configurationOf(h.shop->settings());
    change(v);
    h.shop->applyConfiguration(v);
}

} // namespace

TEST(ShopRegistration, AcceptedOrdersGetNumberAndFolderAndMoveAndWrapTheCounter) {
    ServedShop s;
    s.h.settings.prefix = "WEB-";
    s.h.settings.postfix = "-X";
    s.h.settings.numdigit = 4;
    s.h.settings.currentnumber = 123456; // wider than numdigit: printed whole
    s.go();

    auto r = s.h.registerOrder();
    EXPECT_EQ(std::tuple(r["result"], r["number"], r["folder"], r["shipping1"], r["trusted"]),
              std::tuple("1", "WEB-123456-X",
                         QString::fromStdString(s.h.rootpath()) + "/WEB-123456-X", "0", "0"));
    // The application's record too.
    EXPECT_EQ(std::tuple(s.h.shop->settings().currentnumber, s.h.settings.currentnumber),
              std::tuple(123457u, 123457u));
    // The next number is on disk before this one goes out: a shop killed
    // now must not give WEB-123456-X again.
    EXPECT_EQ(SettingsStore(s.h.profileDir.filePath("profile.ini")).load("").currentnumber,
              123457u);
    EXPECT_TRUE(s.service.waitForLog("WEB-123456-X")); // the number was reported

    configure(s.h, [](ConfigurationValues& v) {
        v.numdigit = 0;
        v.prefix = "";
        v.postfix = "";
    });
    EXPECT_EQ(s.h.registerOrder()["number"], "123457");

    // The counter wraps around after its last number, and says so once.
    configure(s.h, [](ConfigurationValues& v) {
        v.rootordernumber = 2;
        v.wraparound = 123458;
    });
    EXPECT_EQ(s.h.registerOrder()["number"], "123458");
    EXPECT_EQ(s.h.registerOrder()["number"], "2");
    auto t = s.h.texts();
    EXPECT_EQ(std::count(t.begin(), t.end(), "Order number wrapped around."), 1);
}

TEST(ShopRegistration, RefusalsAndServiceFailuresLeaveTheCounter) {
    {
        ServedShop s; // a foreign shop number: refused without asking the service
        s.go(false);
        auto r = s.h.registerOrder("ann@example.com", "R1", 43);
        EXPECT_EQ(std::tuple(r["result"], r["number"], r["folder"]), std::tuple("-3", "", ""));
        EXPECT_EQ(s.h.shop->settings().currentnumber, 1u);
        EXPECT_FALSE(s.service.log().contains("6/2"));
    }
    {
        ShopHarness h; // no service: nothing listens at its port
        h.create(true);
        // Without a product list the start-up reports errors; the shop may
        // still go on-line.
        EXPECT_TRUE(h.hasLine("System started with errors."));
        EXPECT_EQ(h.shop->products(), nullptr);
        h.shop->goOnline();
        EXPECT_EQ(h.registerOrder()["result"], "0");
        EXPECT_EQ(h.shop->settings().currentnumber, 1u);
    }
    {
        ServedShop s({"--fault", "6/2:short"});
        s.go(false);
        EXPECT_EQ(s.h.registerOrder()["result"], "-2");
        EXPECT_EQ(
            s.h.prompter.messages(),
            std::vector<std::string>{
                "No response received. Please check your internet connection and try again."});
        EXPECT_EQ(s.h.shop->settings().currentnumber, 1u);
    }
}

TEST(ShopRegistration, PluginsChainTheirRewritesAndFlags) {
    ServedShop s;
    for (const char* copy : {"a", "b"})
        ASSERT_TRUE(PluginFolder::copy(s.h.folder.filePath(kPluginFolder), "testplugin", copy));
    const TestPluginSettings plugins(
        {{"A_PRE", "A-"}, {"B_PRE", "B-"}, {"A_FLAGS", "1,2"}, {"B_FLAGS", "10,20"}});
    s.go();
    plugins.clearLog(); // keep only the registration's calls
    auto r = s.h.registerOrder();

    EXPECT_EQ(std::tuple(r["result"], r["number"], r["shipping1"], r["shipping2"]),
              std::tuple("1", "B-A-000001", "11", "22"));
    QStringList calls;
    for (const QString& line : plugins.calls())
        calls << line.section('|', 0, 1);
    EXPECT_EQ(calls, (QStringList{"a|PreOrderTx", "b|PreOrderTx", "a|OnShippingHandling",
                                  "b|OnShippingHandling"}));
}

TEST(ShopRegistration, ShortOpeningsAndOtherKinds) {
    ServedShop s;
    s.go(false);
    auto poke = [&](const QByteArray& bytes) {
        Socket c;
        ASSERT_TRUE(c.Connect("127.0.0.1", s.h.shop->servers().server2Port(), false, 2000));
        ASSERT_TRUE(c.SendBytes(bytes.constData(), size_t(bytes.size())));
        // The shop answers nothing and closes; short reads keep the shop's
        // event loop turning meanwhile.
        c.SetReadIdleLimit(20);
        ByteData got;
        ASSERT_TRUE(processUntil([&] { return c.ReceiveBytes(got) || !c.TimedOut(); }));
        EXPECT_TRUE(got.empty());
    };
    auto lines = [&] {
        auto t = s.h.texts();
        return std::count(t.begin(), t.end(), "Bad comm data.");
    };
    long before = lines();
    poke(QByteArray("\x06\x00\x00\x00\x01", 5));
    poke(QByteArray("\x0b\x00\x00\x00\x09\x00\x00\x00", 8));
    EXPECT_EQ(lines(), before + 2);
    poke(QByteArray("\x06\x00\x00", 3));
    poke(QByteArray("\x07\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00", 12));
    poke(QByteArray("\x06\x00\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00", 12));
    EXPECT_EQ(lines(), before + 2);
}

TEST(ShopRegistration, StatusQueryReportsTheWorkingCopy) {
    ServedShop s;
    s.h.settings.subject = "S %ORDER%";
    s.h.settings.currentnumber = 77;
    s.go(false);
    QString id = NetsimService::shopId(42);
    auto f = s.h.statusQuery(id);
    EXPECT_EQ(f.size(), 22);
    EXPECT_EQ(
        std::tuple(f["result"], f["currentnumber"], f["subject"], f["shopid"], f["writetest"]),
        std::tuple("1", "77", "S %ORDER%", id, "1"));
    EXPECT_EQ(readFile(s.h.folder.filePath(kOrdersFolder, "TESTFILE.TXT")), "This is a test file.");

    EXPECT_EQ(s.h.statusQuery(id.toLower())["result"], "-1");

    // Without a root folder the write test touches nothing.
    ASSERT_TRUE(QFile::remove(s.h.folder.filePath(kOrdersFolder, "TESTFILE.TXT")));
    configure(s.h, [](ConfigurationValues& v) { v.rootpath = ""; });
    EXPECT_EQ(s.h.statusQuery(id)["writetest"], "0");
    EXPECT_EQ(s.h.folder.files(kOrdersFolder), QStringList{});
    EXPECT_FALSE(QFile::exists(s.h.folder.filePath("TESTFILE.TXT")));
    EXPECT_FALSE(QFile::exists("TESTFILE.TXT"));
}
