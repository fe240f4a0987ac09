// `quillon --headless` as a process: driven by the simulated network,
// stopped with SIGTERM, and killed while orders stream in.
#include "support/shop/HeadlessShop.h"
#include "core/WorkingFolders.h"
#include "orders/OrderBook.h"
#include "support/OrderSamples.h"
#include "support/TestSupport.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;
using namespace testsupport;

namespace {

size_t storedOrders(const QString& db) {
    OrderBook book(db.toStdString());
    book.load(); // a torn tail met mid-append is copied aside, never cut here
    return book.size();
}

} // namespace

// Whoever reads the shop's output may go away (a closed terminal, the end of
// a pipe): the shop serves on and still shuts down in order on SIGTERM.
TEST(HeadlessShop, ServesOnWhenTheReaderOfItsOutputGoesAwayAndStopsOnSigterm) {
    HeadlessShop s;
    QuillonProcess& shop = s.shop;
    shop.readOutputThroughPipe();
    ASSERT_TRUE(shop.start(s.options())) << shop.output().toStdString();
    EXPECT_TRUE(shop.output().contains("System started."));
    auto send = [&](QStringList extra) { return runNetsim(s.sendOrder(1) + extra); };
    EXPECT_EQ(send({}).exitCode, 0);
    EXPECT_TRUE(shop.waitForOutput("Order 000001 received: ann@example.com, total "))
        << shop.output().toStdString();
    ASSERT_TRUE(QDir().mkdir(s.folder.filePath(kOrdersFolder, "DUP")));
    send({"--number", "DUP", "--folder", s.folder.filePath(kOrdersFolder, "DUP")});
    EXPECT_TRUE(shop.waitForOutput("Order DUP aborted: its folder could not be created."));

    shop.dropOutputReader();
    NetsimRun after = send({});
    EXPECT_EQ(after.exitCode, 0) << after.out.toStdString() << after.err.toStdString();
    EXPECT_TRUE(
        waitUntil([&] { return storedOrders(s.folder.filePath(kDbFolder, "OE.DB")) == 2; }));
    EXPECT_EQ(shop.terminate(), 0);
    EXPECT_EQ(s.folder.files(kSystemLogFolder) + s.folder.files(kOrderLogFolder),
              (QStringList{"SYSLOG000000.TXT", "ORDERLOG000000.XML"}));
    const QByteArray log = readFile(s.folder.filePath(kSystemLogFolder, "SYSLOG000000.TXT"));
    const qsizetype off1 = log.indexOf("Server 1 off-line."),
                    off2 = log.indexOf("Server 2 off-line.");
    EXPECT_TRUE(off1 > 0 && off1 < off2 && log.endsWith("System shutdown.\r\n"))
        << log.toStdString();
    // The subject is saved at exit; the host address, never written, is still there.
    EXPECT_EQ(std::tuple(s.readProfile("currentnumber"), s.readProfile("subject"),
                         s.readProfile("hostaddress")),
              std::tuple("3", "Order %ORDER%", "127.0.0.1"));
}

// Without a window the message about a damaged database is one status line,
// and no question is asked.
TEST(HeadlessShop, ReportsADamagedDatabaseInOneStatusLine) {
    HeadlessShop s;
    const QString db = s.folder.filePath(kDbFolder, "OE.DB");
    writeTornSampleOrders(db.toStdString(), 3);
    ASSERT_TRUE(s.shop.start({"--service-port", QString::number(s.service.servicePort())}));
    EXPECT_TRUE(s.shop.waitForOutput("The order database is damaged: 2 orders were read;"));
    // The new status database takes the default for the orders before it.
    EXPECT_TRUE(s.shop.waitForOutput("The 2 orders received before today count as picked up."));
    EXPECT_EQ(s.shop.terminate(), 0);
    EXPECT_EQ(readFile(s.folder.filePath(kSystemLogFolder, "SYSLOG000000.TXT"))
                  .count("The order database is damaged"),
              1);
}

TEST(HeadlessShop, RefusesToStartWhenTheShopIsNotSetUp) {
    ShopFolder folder;
    QString profile = folder.filePath("profile.ini");
    QuillonProcess shop(folder.path(), profile);
    EXPECT_FALSE(shop.start({}, std::chrono::seconds(20)));
    EXPECT_EQ(shop.terminate(), 2);
    EXPECT_EQ(QSettings(profile, QSettings::IniFormat).value("status").toString(), "0");
}

// A shop killed while orders arrive: its database still loads, every order
// appended before the kill is kept, numbering moves on past the orders in
// flight, and later orders append cleanly after the torn tail is cut.
TEST(HeadlessShop, SurvivesBeingKilledWhileOrdersArrive) {
    HeadlessShop s;
    QString db = s.folder.filePath(kDbFolder, "OE.DB");
    size_t kept = 0;
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(s.shop.start(s.options())) << s.shop.output().toStdString();
        QProcess sender;
        sender.start(NetsimService::program(),
                     s.sendOrder(3) + QStringList{"--concurrent", "4", "--block-size", "4096"});
        // Kill it once an order has been stored and others are on the way.
        ASSERT_TRUE(waitUntil([&] { return storedOrders(db) > kept; }, std::chrono::seconds(60)))
            << "round " << round << "\n"
            << s.shop.output().toStdString() << sender.readAll().toStdString();
        std::this_thread::sleep_for(std::chrono::milliseconds(30 * round));
        s.shop.kill();
        sender.waitForFinished(30000);

        size_t stored = storedOrders(db);
        EXPECT_GE(stored, kept + 1) << "round " << round;
        kept = stored;
    }

    // After the last kill: the next number's folder is new, and orders append.
    ASSERT_TRUE(s.shop.start(s.options()));
    NetsimRun reg = runNetsim({"register", "--shop-number", "42", "--ref1", "X", "--ref2", "Y",
                               "--email", "c@d.e", "--port", QString::number(s.shop.port2())});
    QString folder = fieldsOf(reg.out)["folder"];
    ASSERT_FALSE(folder.isEmpty()) << reg.out.toStdString();
    EXPECT_FALSE(QDir(folder).exists());
    NetsimRun sent = runNetsim(s.sendOrder(2) + QStringList{"--concurrent", "2"});
    EXPECT_EQ(sent.exitCode, 0) << sent.out.toStdString();
    EXPECT_EQ(s.shop.terminate(), 0);
    OrderBook book(db.toStdString());
    EXPECT_EQ(book.load().state, OrderDatabaseScan::State::Whole);
    EXPECT_EQ(book.size(), kept + 2);
}
