#include "orders/OrderBook.h"
#include "orders/OrderLogWriter.h"
#include "support/OrderSamples.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace quillon;
using testsupport::readFile;
using testsupport::sampleOrder;
using testsupport::writeFile;

namespace {

constexpr int64_t kNow = 1'700'000'000;
constexpr int64_t kDay = 86400;

class OrderBookPurgeTest : public ::testing::Test {
protected:
    // An order folder holding a file and a nested subfolder with a file.
    std::string makeFolder(const QString& name) {
        const QString path = dir.filePath("Orders/" + name);
        EXPECT_TRUE(QDir().mkpath(path + "/sub/deeper"));
        EXPECT_TRUE(writeFile(path + "/p1.jpg", "jpeg"));
        EXPECT_TRUE(writeFile(path + "/sub/deeper/x.tmp", "x"));
        return path.toStdString();
    }

    bool exists(const std::string& path) { return QFileInfo::exists(QString::fromStdString(path)); }

    QTemporaryDir dir;
    OrderBook book{dir.filePath("OE.DB").toStdString()};
    QString log = dir.filePath("ORDERLOG000000.XML");
};

std::vector<QString> orderNumbersIn(const QByteArray& xml) {
    std::vector<QString> numbers;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"ordernumber")
            numbers.push_back(reader.readElementText());
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return numbers;
}

TEST_F(OrderBookPurgeTest, OrdersBeforeTheCutoffGoWithTheirFoldersAndAreLogged) {
    const std::string old1 = makeFolder("Q-1"), old2 = makeFolder("Q-3"), young = makeFolder("Q-2"),
                      cutoff = makeFolder("Q-4");
    book.add(sampleOrder("Q-1", uint32_t(kNow - 7 * kDay - 1), "a", old1));
    book.add(sampleOrder("Q-2", uint32_t(kNow - 6 * kDay), "b", young));
    book.add(sampleOrder("Q-3", 0, "c", old2));
    book.add(sampleOrder("Q-4", uint32_t(kNow - 7 * kDay), "d", cutoff));
    const QByteArray database = readFile(dir.filePath("OE.DB"));
    // 30000 days reach before 1970: the cutoff must not wrap to a late time.
    EXPECT_EQ(book.purge(30000, log.toStdString(), kNow), 0);
    EXPECT_FALSE(QFile::exists(log)) << "nothing purged, nothing written";

    EXPECT_EQ(book.purge(7, log.toStdString(), kNow), 2);
    EXPECT_EQ(orderNumbersIn(readFile(log)), (std::vector<QString>{"Q-1", "Q-3"}));
    EXPECT_FALSE(exists(old1));
    EXPECT_FALSE(exists(old2));
    EXPECT_TRUE(exists(young + "/sub/deeper/x.tmp"));
    EXPECT_TRUE(exists(cutoff + "/sub/deeper/x.tmp"));
    EXPECT_EQ(book.size(), 2u);
    EXPECT_EQ(readFile(dir.filePath("OE.DB")), database);
}

TEST_F(OrderBookPurgeTest, NothingOutsideTheFolderIsTouched) {
    const QString outside = dir.filePath("outside");
    ASSERT_TRUE(QDir().mkpath(outside + "/inner"));
    ASSERT_TRUE(writeFile(outside + "/keep.txt", "keep"));
    ASSERT_TRUE(writeFile(outside + "/inner/keep.txt", "keep"));
    const std::string linked = makeFolder("Q-1");
    const QString q1 = QString::fromStdString(linked);
    ASSERT_TRUE(QFile::link(outside, q1 + "/sub/dirlink"));
    ASSERT_TRUE(QFile::link(outside + "/keep.txt", q1 + "/filelink"));
    const QString folderLink = dir.filePath("Orders/Q-2");
    ASSERT_TRUE(QFile::link(outside, folderLink));

    // The working folder and its parents are never removed, whatever a record says.
    const QString work = dir.filePath("work");
    ASSERT_TRUE(QDir().mkpath(work));
    ASSERT_TRUE(writeFile(work + "/keep.txt", "keep"));
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(work));

    book.add(sampleOrder("Q-1", 0, "a", linked));
    book.add(sampleOrder("Q-2", 0, "b", folderLink.toStdString()));
    for (const char* folder : {"", ".", ".."})
        book.add(sampleOrder("Q-9", 0, "z", folder));
    EXPECT_EQ(book.purge(1, log.toStdString(), kNow), 5);
    QDir::setCurrent(previous);

    EXPECT_FALSE(exists(linked));
    EXPECT_FALSE(QFileInfo(folderLink).isSymLink());
    EXPECT_EQ(readFile(outside + "/keep.txt"), "keep");
    EXPECT_EQ(readFile(outside + "/inner/keep.txt"), "keep");
    EXPECT_EQ(readFile(work + "/keep.txt"), "keep");
}

TEST_F(OrderBookPurgeTest, FoldersGoEvenWhenTheLogCannotBeWritten) {
    const std::string folder = makeFolder("Q-1");
    book.add(sampleOrder("Q-1", 0, "a", folder));
    EXPECT_EQ(book.purge(7, dir.filePath("missing/log.xml").toStdString(), kNow), 1);
    EXPECT_FALSE(exists(folder));
    EXPECT_EQ(book.size(), 0u);
}

// The purge's file work runs on a worker while the list goes on: an order
// added meanwhile is neither held up nor lost, whichever way it goes.
TEST_F(OrderBookPurgeTest, AnOrderAddedWhileTheRewriteRunsIsStoredAfterIt) {
    const std::string old = makeFolder("Q-1");
    book.add(sampleOrder("Q-1", 0, "a", old));
    book.add(sampleOrder("Q-2", uint32_t(kNow), "b"));
    std::promise<void> held, release;
    std::future<void> released = release.get_future();
    std::atomic<bool> releasedInTime{false};
    book.setRewriteHook([&] {
        held.set_value();
        // A caller of add() that waited for the rewrite would miss this.
        releasedInTime = released.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    });
    std::optional<OrderBook::PurgeWork> work = book.takePurge(7, kNow, true);
    ASSERT_TRUE(work);
    EXPECT_EQ(book.size(), 1u);
    OrderBook::PurgeDone done;
    std::thread worker([&] { done = book.finishPurge(std::move(*work), log.toStdString()); });
    EXPECT_EQ(held.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);

    EXPECT_TRUE(book.add(sampleOrder("Q-3", uint32_t(kNow), "c")));
    EXPECT_EQ(book.size(), 2u);
    // One rewrite at a time: its snapshot must outlive no purged order.
    EXPECT_FALSE(book.save());
    EXPECT_FALSE(book.takePurge(0, kNow + kDay, false));
    EXPECT_EQ(book.size(), 2u);
    release.set_value();
    worker.join();
    EXPECT_TRUE(releasedInTime);
    EXPECT_EQ(done.removed, 1);
    EXPECT_EQ(done.saved, true);
    EXPECT_FALSE(book.saveOwed());
    EXPECT_FALSE(exists(old));
    EXPECT_EQ(orderNumbersIn(readFile(log)), std::vector<QString>{"Q-1"});

    OrderBook reloaded(dir.filePath("OE.DB").toStdString());
    reloaded.load();
    EXPECT_EQ(reloaded.withOrders([](const OrderBook::Orders& orders) {
        std::string numbers;
        for (const auto& o : orders)
            numbers += o->orderNumber + " ";
        return numbers;
    }),
              "Q-2 Q-3 ");
}

// The order log the purge writes.
TEST_F(OrderBookPurgeTest, TheLogHasTheExactLines) {
    EXPECT_EQ(book.writeXmlLog(log.toStdString()), 1);
    EXPECT_EQ(readFile(log), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<log>\r\n</log>\r\n");

    const ProductList products = {{101, 1.5f, "Print 10x15"}, {101, 2.0f, "not this one"}};
    book.setProducts(&products);
    book.add(sampleOrder("Q-2", 0, "b@example.org"));
    auto bare = sampleOrder("Q-1", 0, "a@example.org");
    bare->pictures = {};
    book.add(std::move(bare));
    EXPECT_EQ(book.writeXmlLog(log.toStdString()), 1);
    EXPECT_EQ(readFile(log), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<log>\r\n"
                             "<order>\r\n"
                             "  <ordernumber>Q-1</ordernumber>\r\n"
                             "  <customer>a@example.org</customer>\r\n"
                             "</order>\r\n"
                             "<order>\r\n"
                             "  <ordernumber>Q-2</ordernumber>\r\n"
                             "  <customer>b@example.org</customer>\r\n"
                             "  <picture>\r\n"
                             "    <filename>p1.jpg</filename>\r\n"
                             "    <item><code>101</code><description>Print 10x15</description>"
                             "<quantity>2</quantity></item>\r\n"
                             "    <item><code>42</code><quantity>1</quantity></item>\r\n"
                             "  </picture>\r\n"
                             "  <picture>\r\n"
                             "    <filename>p2.jpg</filename>\r\n"
                             "  </picture>\r\n"
                             "</order>\r\n"
                             "</log>\r\n");

    book.setProducts(nullptr);
    EXPECT_EQ(book.writeXmlLog(log.toStdString()), 1);
    EXPECT_FALSE(readFile(log).contains("<description>"));
}

TEST_F(OrderBookPurgeTest, LoggedValuesStayWellFormedAndComeBack) {
    const std::string customer = "Ren\xE9 <r&d> \"o'k\"";
    const std::string file = "a\r\nb\x01.jpg";
    auto order = sampleOrder("Q<1>&", 0, customer);
    order->pictures = {{file, {{101, 2}}}};
    book.add(std::move(order));
    ASSERT_EQ(book.writeXmlLog(log.toStdString()), 1);
    const QByteArray bytes = readFile(log);
    EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n'));

    QStringList texts;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() != u"log" &&
            reader.name() != u"order" && reader.name() != u"picture")
            texts << reader.readElementText(QXmlStreamReader::SkipChildElements);
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    ASSERT_GE(texts.size(), 3);
    EXPECT_EQ(texts[0], "Q<1>&");
    EXPECT_EQ(texts[1], QString::fromLatin1(customer));
    EXPECT_EQ(texts[2], QString::fromUtf8("a\r\nb\xEF\xBF\xBD.jpg"));
}

} // namespace
