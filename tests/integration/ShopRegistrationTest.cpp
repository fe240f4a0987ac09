// New-order registration and the status query on a real shop's order
// server 2, driven by `quillon-netsim register` and `status-query`, with the
// simulated central service answering the shop's order check and report.
#include "netlib/Socket.h"
#include "orders/TrustedCustomers.h"
#include "support/PluginFolder.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

struct Registration {
    int exitCode = -1;
    QMap<QString, QString> fields;
};

Registration registerOrder(ShopHarness& h, int shopNumber = 42,
                           const QString& email = "ann@example.com", const QString& ref1 = "R1") {
    NetsimRun run = runNetsimWhileServing({"register", "--shop-number", QString::number(shopNumber),
                                           "--ref1", ref1, "--ref2", "R2", "--email", email,
                                           "--port", h.port2(), "--timeout", "20000"});
    return {run.exitCode, fieldsOf(run.out)};
}

using Started = ServedShop;

} // namespace

TEST(ShopRegistration, AcceptedOrdersGetNumberAndFolderAndMoveTheCounter) {
    Started s;
    s.h.settings.prefix = "WEB-";
    s.h.settings.postfix = "-X";
    s.h.settings.numdigit = 4;
    s.h.settings.currentnumber = 123456; // wider than numdigit: printed whole
    s.go();

    Registration r = registerOrder(s.h);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.fields["result"], "1");
    EXPECT_EQ(r.fields["number"], "WEB-123456-X");
    EXPECT_EQ(r.fields["folder"].toStdString(), s.h.rootpath() + "/WEB-123456-X");
    EXPECT_EQ(r.fields["shipping1"], "0");
    EXPECT_EQ(r.fields["trusted"], "0");
    EXPECT_EQ(s.h.shop->settings().currentnumber, 123457u);
    EXPECT_EQ(s.h.settings.currentnumber, 123457u); // the application's record
    // The counter reaches the profile at once, not only at exit.
    EXPECT_TRUE(waitUntil([&] {
        return SettingsStore(s.h.profileDir.filePath("profile.ini")).load("").currentnumber ==
               123457u;
    }));
    EXPECT_TRUE(s.service.waitForLog("WEB-123456-X")); // the number was reported

    s.h.shop->applyConfiguration([&] {
        ConfigurationValues v = configurationOf(s.h.shop->settings());
        v.numdigit = 0;
        v.prefix = "";
        v.postfix = "";
        return v;
    }());
    EXPECT_EQ(registerOrder(s.h).fields["number"], "123457");
}

TEST(ShopRegistration, ForeignShopNumberIsRefusedWithoutAskingTheService) {
    Started s;
    s.go(false);
    Registration r = registerOrder(s.h, 43);
    EXPECT_EQ(r.fields["result"], "-3");
    EXPECT_EQ(r.fields["number"], "");
    EXPECT_EQ(r.fields["folder"], "");
    EXPECT_EQ(s.h.shop->settings().currentnumber, 1u);
    EXPECT_FALSE(s.service.log().contains("6/2"));
}

TEST(ShopRegistration, ServiceFailuresLeaveTheCounter) {
    {
        ShopHarness h; // no service: nothing listens at its port
        h.create(false);
        h.shop->goOnline();
        EXPECT_EQ(registerOrder(h).fields["result"], "0");
        EXPECT_EQ(h.shop->settings().currentnumber, 1u);
    }
    {
        Started s({"--refuse", "BAD"});
        s.go(false);
        EXPECT_EQ(registerOrder(s.h, 42, "a@b.c", "BAD").fields["result"], "-2");
        EXPECT_EQ(s.h.shop->settings().currentnumber, 1u);
    }
    {
        Started s({"--fault", "6/2:short"});
        s.go(false);
        EXPECT_EQ(registerOrder(s.h).fields["result"], "-2");
        EXPECT_EQ(
            s.h.prompter.messages(),
            std::vector<std::string>{
                "No response received. Please check your internet connection and try again."});
        EXPECT_EQ(s.h.shop->settings().currentnumber, 1u);
    }
}

TEST(ShopRegistration, CounterWrapsAroundOnce) {
    Started s;
    s.h.settings.wraparound = 5;
    s.h.settings.currentnumber = 5;
    s.h.settings.rootordernumber = 2;
    s.go(false);
    EXPECT_EQ(registerOrder(s.h).fields["number"], "000005");
    EXPECT_EQ(registerOrder(s.h).fields["number"], "000002");
    auto t = s.h.texts();
    EXPECT_EQ(std::count(t.begin(), t.end(), "Order number wrapped around."), 1);

    // A first number above the last: every order gets the first number.
    ShopHarness& h = s.h;
    h.shop->applyConfiguration([&] {
        ConfigurationValues v = configurationOf(h.shop->settings());
        v.rootordernumber = 9;
        v.wraparound = 5;
        return v;
    }());
    EXPECT_EQ(registerOrder(h).fields["number"], "000009");
    EXPECT_EQ(registerOrder(h).fields["number"], "000009");
    t = h.texts();
    EXPECT_EQ(std::count(t.begin(), t.end(), "Order number wrapped around."), 3);
}

TEST(ShopRegistration, PluginsChainTheirRewritesAndFlags) {
    Started s;
    QDir plugin(s.h.folder.filePath("plugin"));
    ASSERT_TRUE(QFile::copy(QString(PLUGIN_BUILD_DIR) + "/testplugin.so", plugin.filePath("a.so")));
    ASSERT_TRUE(QFile::copy(QString(PLUGIN_BUILD_DIR) + "/testplugin.so", plugin.filePath("b.so")));
    QString log = s.h.folder.filePath("calls.log");
    qputenv("QUILLON_TESTPLUGIN_LOG", log.toLocal8Bit());
    qputenv("QUILLON_TESTPLUGIN_A_PRE", "A-");
    qputenv("QUILLON_TESTPLUGIN_B_PRE", "B-");
    qputenv("QUILLON_TESTPLUGIN_A_FLAGS", "1,2");
    qputenv("QUILLON_TESTPLUGIN_B_FLAGS", "10,20");
    s.go();
    QFile::remove(log); // keep only the registration's calls
    Registration r = registerOrder(s.h);
    for (const char* v :
         {"QUILLON_TESTPLUGIN_LOG", "QUILLON_TESTPLUGIN_A_PRE", "QUILLON_TESTPLUGIN_B_PRE",
          "QUILLON_TESTPLUGIN_A_FLAGS", "QUILLON_TESTPLUGIN_B_FLAGS"})
        qunsetenv(v);

    EXPECT_EQ(r.fields["result"], "1");
    EXPECT_EQ(r.fields["number"], "B-A-000001");
    EXPECT_EQ(r.fields["shipping1"], "11");
    EXPECT_EQ(r.fields["shipping2"], "22");
    QStringList calls = QString(readFile(log)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(calls.size(), 4) << calls.join("\n").toStdString();
    EXPECT_TRUE(calls[0].startsWith("a|PreOrderTx"));
    EXPECT_TRUE(calls[1].startsWith("b|PreOrderTx"));
    EXPECT_TRUE(calls[2].startsWith("a|OnShippingHandling"));
    EXPECT_TRUE(calls[3].startsWith("b|OnShippingHandling"));
    EXPECT_TRUE(calls[1].contains("A-000001")); // b saw a's rewrite
}

TEST(ShopRegistration, TrustedMarkIsExactCase) {
    Started s;
    ASSERT_TRUE(writeFile(s.h.folder.filePath("Db/TRUST.TXT"), "Bob;Bob;Jones;555;Main St\r\n"));
    s.go();
    EXPECT_EQ(registerOrder(s.h, 42, "Bob").fields["trusted"], "1");
    EXPECT_EQ(registerOrder(s.h, 42, "bob").fields["trusted"], "0");
}

TEST(ShopRegistration, ShortOpeningsAndOtherKinds) {
    Started s;
    s.go(false);
    auto poke = [&](const QByteArray& bytes) {
        Socket c;
        ASSERT_TRUE(c.Connect("127.0.0.1", s.h.shop->server2Port(), false, 2000));
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
    Started s;
    s.h.settings.prefix = "P";
    s.h.settings.subject = "S %ORDER%";
    s.h.settings.attach = true;
    s.h.settings.currentnumber = 77;
    s.go(false);
    QString id = NetsimService::shopId(42);
    NetsimRun run = runNetsimWhileServing({"status-query", "--shop-id", id, "--port", s.h.port2()});
    auto f = fieldsOf(run.out);
    EXPECT_EQ(f.size(), 22) << run.out.toStdString();
    EXPECT_EQ(f["result"], "1");
    EXPECT_EQ(f["attach"], "1");
    EXPECT_EQ(f["currentnumber"], "77");
    EXPECT_EQ(f["prefix"], "P");
    EXPECT_EQ(f["subject"], "S %ORDER%");
    EXPECT_EQ(f["shopid"], id);
    EXPECT_EQ(f["offline"], "0");
    EXPECT_EQ(f["writetest"], "1");
    EXPECT_EQ(readFile(s.h.folder.filePath("Orders/TESTFILE.TXT")), "This is a test file.");

    run = runNetsimWhileServing({"status-query", "--shop-id", id.toLower(), "--port", s.h.port2()});
    EXPECT_EQ(fieldsOf(run.out)["result"], "-1");
}

TEST(ShopRegistration, StatusQueryWithoutRootFolderTouchesNothing) {
    Started s;
    s.h.settings.rootpath = "";
    s.go(false);
    NetsimRun run = runNetsimWhileServing(
        {"status-query", "--shop-id", NetsimService::shopId(42), "--port", s.h.port2()});
    EXPECT_EQ(fieldsOf(run.out)["writetest"], "0");
    EXPECT_FALSE(QFile::exists(s.h.folder.filePath("TESTFILE.TXT")));
    EXPECT_FALSE(QFile::exists("TESTFILE.TXT"));
}
