// Orders sent by `quillon-netsim send-order` into a real shop: reception,
// completion with the payment status, the order book and OE.DB, the
// transfer list, plug-in steps and the purges.
#include "core/WorkingFolders.h"
#include "orders/OrderBook.h"
#include "support/PluginFolder.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

struct Intake : ServedShop {
    NetsimRun send(const QStringList& options) { return h.sendOrders(options); }
    // Completion events are queued; let them all arrive.
    bool settle(size_t orders) {
        return processUntil([&] {
            return h.shop->orderBook().size() >= orders &&
                   h.shop->intake().transfers().receptionCount() == 0;
        });
    }
    std::string db() const { return h.folder.filePath(kDbFolder, "OE.DB").toStdString(); }
    // The purge's file work runs off the shop's thread.
    bool purged() {
        return processUntil([&] { return !h.shop->orderBookFiles().isWriting(); });
    }
};

// The order numbers stored in the database at `path`, in list order.
std::string storedOrders(const std::string& path) {
    OrderBook book(path);
    book.load();
    return book.withOrders([](const OrderBook::Orders& orders) {
        std::string numbers;
        for (const auto& o : orders)
            numbers += (numbers.empty() ? "" : " ") + o->orderNumber;
        return numbers;
    });
}

} // namespace

TEST(ShopIntake, AnOrderCompletesIntoTheListTheDatabaseAndTheTransferRow) {
    Intake in;
    in.go();
    QStringList thumbnails;
    QObject::connect(&in.h.shop->intake(), &OrderIntake::thumbnailMade,
                     [&](const QString& path, const QImage& image) {
                         if (!image.isNull())
                             thumbnails << QFileInfo(path).fileName();
                     });
    NetsimRun run = in.send({"--generate", "2", "--items", "101:3,112:1", "--tax", "7.5", "--email",
                             "ann@example.com"});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    ASSERT_TRUE(in.settle(1));

    ASSERT_EQ(in.h.shop->intake().transfers().rows().size(), 1u);
    const TransferRow& row = in.h.shop->intake().transfers().rows()[0];
    // Two pictures of 3 x 0.25 + 1 x 3.49, with 7.5 % tax.
    EXPECT_EQ(std::tie(row.orderNumber, row.customer, row.total, row.paymentStatus),
              std::tuple("000001", "ann@example.com", "9.12", "Paid - PayPal"));
    EXPECT_EQ(row.transferStatus.rfind("Order received ", 0), 0u);
    EXPECT_TRUE(in.service.waitForLog("6/4"));

    OrderBook reloaded(in.db());
    reloaded.load();
    ASSERT_EQ(reloaded.size(), 1u);
    reloaded.withOrders([](const OrderBook::Orders& orders) {
        const OrderEntry& o = *orders[0];
        EXPECT_EQ(std::tie(o.orderNumber, o.itemCount, o.paymentCode, o.paymentStatus),
                  std::tuple("000001", 8, 1, "Paid - PayPal"));
        EXPECT_EQ(o.pictures.size(), 2u);
    });
    QString folder = in.h.folder.filePath(kOrdersFolder, "000001");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 3); // two pictures and the summary
    EXPECT_TRUE(QFileInfo(folder + "/000001.pdf").size() > 1000);
    in.h.shop->orderBook().withOrders([&](const OrderBook::Orders& orders) {
        ASSERT_EQ(orders.size(), 1u);
        // The thumbnails went out to whoever shows them; the book keeps none.
        EXPECT_TRUE(orders[0]->thumbnails.empty());
        EXPECT_EQ(thumbnails.size(), 2);
        EXPECT_TRUE(thumbnails.contains(QString::fromUtf8(orders[0]->pictures[0].fileName)));
    });
}

TEST(ShopIntake, PluginsSeeTheDataStepsInOrder) {
    Intake in;
    ASSERT_TRUE(PluginFolder::copy(in.h.folder.filePath(kPluginFolder), "testplugin", "p"));
    const TestPluginSettings plugin({{"P_POST", "-done"}});
    in.go();
    plugin.clearLog();
    NetsimRun run = in.send({"--generate", "2"});
    ASSERT_TRUE(in.settle(1));
    in.h.shop.reset(); // releases the plug-ins

    QStringList kinds;
    for (const QString& line : plugin.calls())
        kinds << line.section('|', 1, 1);
    EXPECT_EQ(kinds, (QStringList{"PreOrderTx", "OnShippingHandling", "OnBeginDataTx", "OnDataTx",
                                  "OnDataTx", "OnEndDataTx", "PostOrderTx", "ReleaseLibrary"}));
    EXPECT_EQ(storedOrders(in.db()), "-done000001"); // the post-order rewrite is stored
}

TEST(ShopIntake, MidnightPurgeRewritesTheDatabaseAndStartUpPurgeLeavesIt) {
    Intake in;
    in.h.settings.purge = 1; // a week
    in.go(false);
    ASSERT_EQ(in.send({"--generate", "1"}).exitCode, 0);
    ASSERT_TRUE(in.settle(1));
    QString folder1 = in.h.folder.filePath(kOrdersFolder, "000001");
    ASSERT_TRUE(QDir().mkpath(folder1 + "/nested/deeper"));

    // Eight days later the first order is old; a new one arrives.
    in.h.clock.advance(8 * 86400);
    ASSERT_EQ(in.send({"--generate", "1"}).exitCode, 0);
    ASSERT_TRUE(in.settle(2));
    qint64 dbBefore = QFileInfo(QString::fromStdString(in.db())).size();

    // A tick before midnight does nothing; the first tick at 00:00 purges.
    std::tm t = in.h.clock.localNow();
    int64_t toMidnight = (24 - t.tm_hour) * 3600 - t.tm_min * 60 - t.tm_sec;
    in.h.clock.advance(toMidnight - 10);
    in.h.shop->clockTick();
    EXPECT_EQ(in.h.shop->orderBook().size(), 2u);
    in.h.clock.advance(12);
    in.h.shop->clockTick();
    EXPECT_EQ(in.h.shop->orderBook().size(), 1u);
    in.h.shop->clockTick(); // once per minute
    ASSERT_TRUE(in.purged());
    EXPECT_FALSE(QDir(folder1).exists());
    EXPECT_TRUE(QDir(in.h.folder.filePath(kOrdersFolder, "000002")).exists());
    EXPECT_EQ(in.h.folder.files(kOrderLogFolder), QStringList{"ORDERLOG000000.XML"});
    EXPECT_TRUE(readFile(in.h.folder.filePath(kOrderLogFolder, "ORDERLOG000000.XML"))
                    .contains("<ordernumber>000001</ordernumber>"));
    EXPECT_LT(QFileInfo(QString::fromStdString(in.db())).size(), dbBefore);
    // The transfer list is rebuilt from the completed transfers.
    ASSERT_EQ(in.h.shop->intake().transfers().rows().size(), 2u);

    // At the next start-up a month later the purge runs once and leaves the
    // database as it was.
    in.h.shop.reset();
    const QByteArray db = readFile(QString::fromStdString(in.db()));
    const qsizetype logs = in.h.folder.files(kOrderLogFolder).size();
    in.h.clock.advance(30 * 86400);
    in.h.create(true);
    ASSERT_TRUE(in.purged());
    EXPECT_EQ(in.h.shop->orderBook().size(), 0u);
    EXPECT_FALSE(QDir(in.h.folder.filePath(kOrdersFolder, "000002")).exists());
    EXPECT_EQ(readFile(QString::fromStdString(in.db())), db);
    EXPECT_EQ(in.h.folder.files(kOrderLogFolder).size(), logs + 1);
}

TEST(ShopIntake, AnOrderThatCouldNotBeStoredIsWrittenWithTheNextOrderOrAtExit) {
    Intake in;
    in.go();
    const QString db = QString::fromStdString(in.db());
    const auto notStored = [](const char* number) {
        return "Order " + std::string(number) +
               " could not be stored in the order database; it stays listed and is stored with "
               "the next order, purge or exit.";
    };
    // A folder in the database's place: no append can open it.
    ASSERT_TRUE(QDir().mkpath(db));
    ASSERT_EQ(in.send({"--generate", "1"}).exitCode, 0);
    ASSERT_TRUE(in.settle(1));
    EXPECT_TRUE(in.h.hasLine(notStored("000001")));
    ASSERT_TRUE(QDir(db).removeRecursively());
    ASSERT_EQ(in.send({"--generate", "1"}).exitCode, 0);
    ASSERT_TRUE(in.settle(2));
    ASSERT_TRUE(processUntil([&] {
        return in.h.hasLine(
            "The order database was written anew; every listed order is stored in it.");
    }));
    EXPECT_EQ(storedOrders(in.db()), "000001 000002");

    ASSERT_TRUE(QFile::remove(db));
    ASSERT_TRUE(QDir().mkpath(db));
    ASSERT_EQ(in.send({"--generate", "1"}).exitCode, 0);
    ASSERT_TRUE(in.settle(3));
    EXPECT_TRUE(in.h.hasLine(notStored("000003")));
    ASSERT_TRUE(QDir(db).removeRecursively());
    in.h.shop->exit();
    ASSERT_TRUE(processUntil([&] { return in.h.hasLine("System shutdown."); }));
    EXPECT_EQ(storedOrders(in.db()), "000001 000002 000003");
}
