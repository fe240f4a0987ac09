// The order book and its file OE.DB: the records byte for byte, the order
// of the list, damaged files, failed writes, the purge and its order log.
#include "orders/OrderBook.h"
#include "orders/OrderLogWriter.h"
#include "orders/OrderSearchIndex.h"
#include "support/FileSizeLimit.h"
#include "support/ManualClock.h"
#include "support/OrderSamples.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <atomic>
#include <bit>
#include <future>
#include <gtest/gtest.h>
#include <random>
#include <thread>

using namespace quillon;
using testsupport::readFile;
using testsupport::sampleOrder;
using testsupport::writeFile;
using State = OrderDatabaseScan::State;

namespace {

constexpr int64_t kNow = 1'700'000'000;
constexpr int64_t kDay = 86'400;

QByteArray u32Bytes(uint32_t v) {
    const char bytes[] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(bytes, 4);
}

QByteArray textBytes(const std::string& s) {
    return u32Bytes(uint32_t(s.size() + 1)) + QByteArray::fromStdString(s) + QByteArray(1, '\0');
}

// "number/customer" of every listed order, in list order.
std::string listOf(const OrderBook& book) {
    return book.withOrders([](const OrderBook::Orders& orders) {
        std::string out;
        for (const auto& o : orders)
            out += (out.empty() ? "" : " ") + o->orderNumber + "/" + o->customer;
        return out;
    });
}

// The name a copy of a damaged database takes at `clock`'s time.
QString copyName(const Clock& clock) {
    return "OE.DB.damaged-" +
           QDateTime::fromSecsSinceEpoch(clock.now()).toString("yyyyMMdd-HHmmss");
}

// `book` records each damaged file it reports: records read, copy name.
class OrderBookTest : public ::testing::Test {
protected:
    OrderBookTest() {
        QObject::connect(
            &book, &OrderBook::databaseDamaged,
            [this](int records, const QString& copy) { damage.emplace_back(records, copy); });
    }

    // The list of the database as a new book loads it; "not whole" when its
    // load finds damage.
    std::string reloaded() {
        OrderBook book(db);
        return book.load().state == State::Whole ? listOf(book) : "not whole";
    }

    QTemporaryDir dir;
    QString dbPath = dir.filePath("OE.DB");
    std::string db = dbPath.toStdString();
    OrderBook book{db};
    std::vector<std::pair<int, QString>> damage;
};

TEST_F(OrderBookTest, StoresEveryFieldOfARecord) {
    ASSERT_TRUE(book.add(sampleOrder("Q-0001", 1'600'000'000, "b\xE9la@example.org")));
    QByteArray expected = QByteArray("\0\0\0\1", 4) + textBytes("Q-0001") +
                          textBytes("b\xE9la@example.org") + textBytes("/orders/x") +
                          u32Bytes(uint32_t(-3)) + textBytes("Outstanding") +
                          u32Bytes(std::bit_cast<uint32_t>(12.75f));
    for (uint32_t v : {3, 1'600'000'000, 7, 2})
        expected += u32Bytes(v);
    expected += textBytes("p1.jpg");
    for (uint32_t v : {2, 101, 2, 42, 1})
        expected += u32Bytes(v);
    EXPECT_EQ(readFile(dbPath), expected + textBytes("p2.jpg") + u32Bytes(0));
}

TEST_F(OrderBookTest, ReloadKeepsOrdersAndLinksFirstProduct) {
    const ProductList products = {{7, 1.0f, "other"}, {101, 2.0f, "first"}, {101, 3.0f, "second"}};
    {
        OrderBook writer(db);
        for (const char* n : {"Q-3", "Q-1", "Q-2"})
            ASSERT_TRUE(writer.add(sampleOrder(n, 1'000, n)));
    }
    book.setProducts(&products);
    const OrderDatabaseScan scan = book.load();
    EXPECT_EQ(std::tuple(scan.state, scan.wholeEnd),
              std::tuple(State::Whole, size_t(QFileInfo(dbPath).size())));
    EXPECT_EQ(listOf(book), "Q-1/Q-1 Q-2/Q-2 Q-3/Q-3");
    book.withOrders([&](const OrderBook::Orders& orders) {
        const OrderEntry& o = *orders[1];
        EXPECT_EQ(std::tuple(o.received, o.amount, o.reserved), std::tuple(1'000u, 12.75f, 7));
        ASSERT_EQ(o.pictures.size(), 2u);
        EXPECT_EQ(std::tuple(o.pictures[0].items[0].product, o.pictures[0].items[1].product),
                  std::tuple(&products[1], nullptr));
        OrderEntry copy = o; // a loaded list copied, then added to
        copy.pictures.add("p3.jpg", 1)[0].code = 9;
        EXPECT_EQ(std::tuple(copy.pictures[1].fileName, copy.pictures[0].items[0].product,
                             copy.pictures[2].items[0].code, o.pictures.size()),
                  std::tuple("p2.jpg", &products[1], 9, 2u));
    });
    const ProductList replacement = {{101, 5.0f, "new"}};
    book.setProducts(&replacement);
    book.withOrders([&](const OrderBook::Orders& orders) {
        EXPECT_EQ(orders[0]->pictures[0].items[0].product, &replacement[0]);
    });
}

TEST_F(OrderBookTest, SortedInsertionPlacesEqualNumbers) {
    for (const char* tagged : {"B1", "D1", "F1", "D2", "F2", "B2", "A1", "G1", "G2", "b1"})
        book.add(sampleOrder(std::string(1, tagged[0]), 0, tagged + 1));
    // Equal to an inner number: after its equals; equal to the last: just before it.
    EXPECT_EQ(listOf(book), "A/1 B/1 B/2 D/1 D/2 F/2 F/1 G/2 G/1 b/1");
}

// The list view and the board keep indices into the book: an insertion is
// reported at its place, and a purge, which moves everything, as a reset.
TEST_F(OrderBookTest, ReportsAnInsertionAtItsPlaceAndAPurgeAsAReset) {
    std::vector<std::string> reports;
    QObject::connect(&book, &OrderBook::orderInserted,
                     [&](int index) { reports.push_back("inserted " + std::to_string(index)); });
    QObject::connect(&book, &OrderBook::ordersReset, [&] { reports.push_back("reset"); });
    for (auto [number, received] : {std::pair{"Q-2", kDay}, {"Q-3", 9 * kDay}, {"Q-1", 9 * kDay}})
        book.add(
            sampleOrder(number, uint32_t(received), number, dir.filePath(number).toStdString()));
    EXPECT_EQ(book.purge(1, dir.filePath("purged.xml").toStdString(), 9 * kDay), 1);
    EXPECT_EQ(reports,
              (std::vector<std::string>{"inserted 0", "inserted 1", "inserted 0", "reset"}));
    EXPECT_EQ(listOf(book), "Q-1/Q-1 Q-3/Q-3");
}

// Loading files the records with an algorithm of its own; it must place
// them exactly as adding them one by one does, or a restart reorders the list.
TEST_F(OrderBookTest, LoadPlacesOrdersAsAddingThemOneByOne) {
    std::mt19937 random(3);
    std::vector<std::string> numbers;
    for (int i = 0; i < 300; ++i)
        numbers.push_back(std::string(1, char('A' + random() % 6)));
    OrderBook added(db), twice(dir.filePath("twice.db").toStdString());
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < numbers.size(); ++i) {
            if (round == 0)
                added.add(sampleOrder(numbers[i], 0, std::to_string(i)));
            twice.add(sampleOrder(numbers[i], 0, std::to_string(i)));
        }
    OrderBook loaded(db);
    loaded.load();
    EXPECT_EQ(listOf(loaded), listOf(added));
    added.load(); // onto the orders already listed
    EXPECT_EQ(listOf(added), listOf(twice));
}

TEST_F(OrderBookTest, LoadedOrdersAreWrittenBackByteForByteAndFoundAsBefore) {
    // Picture names and product lines repeat from order to order, as a
    // shop's do; the loaded orders keep each distinct one once.
    std::mt19937 random(5);
    const std::vector<std::string> names = {"IMG_1.jpg", "img_10.JPG", "\xD6lbild.jpg", "a.png"};
    const std::vector<std::string> customers = {"ann@example.org", "B\xC9LA@example.org", "x@y"};
    {
        OrderBook writer(db);
        for (int i = 0; i < 200; ++i) {
            auto order = sampleOrder("Q-" + std::to_string(1000 + i), uint32_t(i),
                                     customers[random() % customers.size()]);
            order->pictures.clear();
            for (int p = int(random() % 4); p > 0; --p) {
                std::span<ItemLine> lines =
                    order->pictures.add(names[random() % names.size()], random() % 3);
                for (ItemLine& line : lines)
                    line = {int32_t(100 + random() % 3), int32_t(1 + random() % 2), nullptr};
            }
            writer.add(std::move(order));
        }
    }
    const QByteArray stored = readFile(dbPath);
    ASSERT_EQ(book.load().state, State::Whole);
    ASSERT_TRUE(book.save());
    EXPECT_EQ(readFile(dbPath), stored);

    OrderSearchIndex index;
    const auto expectFound = [&](const std::string& text) {
        const OrderFilter filter(text);
        book.withOrders([&](const OrderBook::Orders& orders) {
            std::vector<int> matching;
            for (size_t i = 0; i < orders.size(); ++i)
                if (filter.matches(*orders[i]))
                    matching.push_back(int(i));
            EXPECT_EQ(index.find(filter), matching) << text;
        });
    };
    const std::vector<std::string> typed = {"img_1",   "\xF6LB", ".JPG", "q-105",
                                            "b\xE9la", "x@y",    "none", "a"};
    book.withOrders([&](const OrderBook::Orders& orders) { index.rebuild(orders); });
    for (const std::string& text : typed)
        expectFound(text);
    QObject::connect(&book, &OrderBook::orderInserted, [&](int at) {
        book.withOrders([&](const OrderBook::Orders& orders) { index.insert(orders, at); });
    });
    auto added = sampleOrder("Q-1050a", 0, "new@example.org");
    added->pictures = {{"IMG_1.jpg", {}}, {"new.jpg", {}}};
    book.add(std::move(added));
    for (const std::string& text : typed)
        expectFound(text);
    expectFound("new");
}

TEST_F(OrderBookTest, WrongHeaderLoadsNothingAndIsKeptBeforeItIsReplaced) {
    const QByteArray foreign = u32Bytes(1) + textBytes("Q-1") + QByteArray(40, 'x');
    ASSERT_TRUE(writeFile(dbPath, foreign));
    EXPECT_EQ(book.load().state, State::WrongHeader);
    EXPECT_EQ(book.size(), 0u);
    ASSERT_EQ(damage.size(), 1u);
    EXPECT_EQ(damage[0].first, 0);
    EXPECT_EQ(readFile(dir.filePath(damage[0].second)), foreign);
    for (const char* n : {"Q-3", "Q-2", "Q-4"})
        EXPECT_TRUE(book.add(sampleOrder(n)));
    EXPECT_EQ(damage.size(), 1u);

    ASSERT_TRUE(book.save());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"OE.DB", damage[0].second}));
    ASSERT_TRUE(book.add(sampleOrder("Q-5")));
    EXPECT_EQ(reloaded(), listOf(book));
    EXPECT_EQ(book.size(), 4u);
}

// A bad length in the middle looks like a torn tail: the whole file is kept
// under a name of its own (never over another file) before it is cut.
TEST_F(OrderBookTest, DamagedMiddleRecordIsKeptWholeBeforeTheFileIsCut) {
    testsupport::writeSampleOrders(db, 100);
    QByteArray bytes = readFile(dbPath);
    const qsizetype record = (bytes.size() - 4) / 100; // the sample records are alike
    bytes.replace(4 + 50 * record, 4, u32Bytes(0x7FFFFFFF));
    ASSERT_TRUE(writeFile(dbPath, bytes));
    const testsupport::ManualClock clock(1'750'000'000);
    ASSERT_TRUE(writeFile(dir.filePath(copyName(clock)), "taken"));

    book.setClock(clock);
    EXPECT_EQ(book.load().state, State::Damaged);
    EXPECT_EQ(book.size(), 50u);
    const QString copy = copyName(clock) + "-2";
    EXPECT_EQ(damage, (std::vector<std::pair<int, QString>>{{50, copy}}));
    EXPECT_EQ(readFile(dir.filePath(copy)), bytes);
    EXPECT_EQ(readFile(dir.filePath(copyName(clock))), "taken");

    ASSERT_TRUE(book.add(sampleOrder("Q-1", 0, "new")));
    EXPECT_EQ(std::tuple(damage.size(), book.size()), std::tuple(1u, 51u));
    EXPECT_EQ(readFile(dir.filePath(copy)), bytes);
    EXPECT_EQ(reloaded(), listOf(book));
}

// A full disk: no copy, so the file is neither cut nor replaced; the orders
// stay listed and are stored once a copy could be made.
TEST_F(OrderBookTest, DamagedFileThatCannotBeCopiedIsLeftAsItIs) {
    testsupport::writeSampleOrders(db, 20);
    QByteArray bytes = readFile(dbPath);
    bytes.replace(4 + (bytes.size() - 4) / 20, 4, u32Bytes(0)); // the second record
    ASSERT_TRUE(writeFile(dbPath, bytes));
    {
        // Room for the cut file and its new records, not for a copy.
        testsupport::FileSizeLimit limit(uint64_t(bytes.size()) - 1);
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(book.load().records, 1u);
        EXPECT_FALSE(book.add(sampleOrder("Q-1")) || book.add(sampleOrder("Q-2")) || book.save());
    }
    EXPECT_EQ(damage, (std::vector<std::pair<int, QString>>{{1, QString()}})); // told once
    EXPECT_EQ(readFile(dbPath), bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"OE.DB"});
    EXPECT_EQ(std::tuple(book.saveOwed(), book.unstoredOrders()), std::tuple(true, 2u));

    ASSERT_TRUE(book.save());
    ASSERT_EQ(damage.size(), 2u);
    EXPECT_EQ(damage[1].first, 1);
    EXPECT_EQ(readFile(dir.filePath(damage[1].second)), bytes);
    EXPECT_FALSE(book.saveOwed());
    EXPECT_EQ(reloaded(), "A-100/anna@example.org Q-1/anna@example.org Q-2/anna@example.org");
}

TEST_F(OrderBookTest, TornTailIsCutBeforeTheNextAppend) {
    OrderBook writer(db);
    writer.add(sampleOrder("Q-1", 0, "a"));
    writer.add(sampleOrder("Q-2", 0, "b"));
    const qsizetype whole = QFileInfo(dbPath).size();
    writer.add(sampleOrder("Q-3", 0, "c"));
    const QByteArray full = readFile(dbPath);

    // Cuts inside the header are a crash while the file was being created.
    for (qsizetype cut = 0; cut < full.size(); cut = (cut == 3 ? whole : cut + 1)) {
        SCOPED_TRACE(cut);
        ASSERT_TRUE(writeFile(dbPath, full.left(cut)));
        OrderBook book(db);
        const OrderDatabaseScan scan = book.load();
        EXPECT_EQ(scan.state, cut < 4        ? State::NoHeader
                              : cut == whole ? State::Whole
                                             : State::Damaged);
        ASSERT_TRUE(book.add(sampleOrder("Q-4", 0, "d")));
        EXPECT_EQ(reloaded(), cut < 4 ? "Q-4/d" : "Q-1/a Q-2/b Q-4/d");
    }
}

TEST_F(OrderBookTest, RecordsAddedDuringTheLoadAreAppendedInOrderAfterIt) {
    testsupport::writeTornSampleOrders(db, 3);
    const QByteArray torn = readFile(dbPath);
    book.beginLoad();
    ASSERT_TRUE(book.add(sampleOrder("Q-2", 0, "first")));
    ASSERT_TRUE(book.add(sampleOrder("Q-1", 0, "second")));
    EXPECT_EQ(listOf(book), "Q-1/second Q-2/first");
    EXPECT_FALSE(book.save() || book.takePurge(1, 1'000'000, true));
    EXPECT_EQ(readFile(dbPath), torn);
    OrderBook::Orders loaded;
    EXPECT_EQ(book.readDatabase(loaded).state, State::Damaged);
    EXPECT_EQ(readFile(dbPath), torn);
    book.fileLoaded(std::move(loaded));
    EXPECT_FALSE(book.saveOwed());
    ASSERT_TRUE(book.add(sampleOrder("Q-3", 0, "after")));
    // The whole records, then the waiting ones as they came, then the next.
    const std::string expected = dir.filePath("expected").toStdString();
    testsupport::writeSampleOrders(expected, 2);
    OrderBook written(expected);
    for (const auto& [number, tag] :
         {std::pair{"Q-2", "first"}, {"Q-1", "second"}, {"Q-3", "after"}})
        written.add(sampleOrder(number, 0, tag));
    EXPECT_EQ(readFile(dbPath), readFile(QString::fromStdString(expected)));
    EXPECT_EQ(listOf(book), "A-100/anna@example.org A-101/anna@example.org Q-1/second "
                            "Q-2/first Q-3/after");
}

TEST_F(OrderBookTest, DamagedLengthsAndCountsStopTheLoad) {
    OrderBook writer(db);
    writer.add(sampleOrder("Q-1"));
    const QByteArray good = readFile(dbPath);
    const QByteArray fields = textBytes("c") + textBytes("/f") + u32Bytes(0) + textBytes("s") +
                              u32Bytes(0) + u32Bytes(0) + u32Bytes(0) + u32Bytes(0);
    const QByteArray tails[] = {
        u32Bytes(1009) + QByteArray(1009, 'n'),           // text over 1007 characters
        u32Bytes(0) + fields + u32Bytes(0),               // length without its zero
        textBytes("Q-2") + fields + u32Bytes(0x7FFFFFFF), // picture count
        textBytes("Q-2") + fields + u32Bytes(1) + textBytes("p") + u32Bytes(0xFFFFFFFF), // items
    };
    for (const QByteArray& tail : tails) {
        ASSERT_TRUE(writeFile(dbPath, good + tail));
        OrderBook book(db);
        const OrderDatabaseScan scan = book.load();
        EXPECT_EQ(std::tuple(scan.state, scan.wholeEnd, book.size()),
                  std::tuple(State::Damaged, size_t(good.size()), 1u));
        ASSERT_TRUE(book.add(sampleOrder("Q-3")));
        EXPECT_EQ(std::tuple(reloaded(), book.size()), std::tuple(listOf(book), 2u));
    }
}

TEST_F(OrderBookTest, OverlongTextIsCutSoTheFileStillLoads) {
    book.add(sampleOrder("Q-1", 0, std::string(2000, 'c')));
    book.add(sampleOrder("Q-2", 0, "b"));
    EXPECT_EQ(reloaded(), "Q-1/" + std::string(1007, 'c') + " Q-2/b");
}

TEST_F(OrderBookTest, RecordLongerThanAReadBlockLoads) {
    auto big = sampleOrder("Q-1", 0, "a");
    big->pictures = {{"p1.jpg", {}},
                     {"p2.jpg", std::vector(700'000, ItemLine{5, 6, nullptr})}}; // 5.6 MB
    book.add(std::move(big));
    book.add(sampleOrder("Q-2", 0, "b"));
    const QByteArray full = readFile(dbPath);
    ASSERT_TRUE(writeFile(dbPath, full.left(full.size() - 1)));
    OrderBook reloaded(db);
    EXPECT_EQ(reloaded.load().state, State::Damaged);
    EXPECT_EQ(listOf(reloaded), "Q-1/a");
    reloaded.withOrders([](const OrderBook::Orders& orders) {
        const auto& items = orders[0]->pictures[1].items;
        EXPECT_EQ(std::tuple(items.size(), items.back().quantity), std::tuple(700'000u, 6));
    });
}

// A full disk: the append stores no part of its record, the rewrite keeps
// the old file, and the next append goes on from the last whole record.
TEST_F(OrderBookTest, FailedWritesLeaveTheDatabaseAsItWas) {
    ASSERT_TRUE(book.add(sampleOrder("Q-1")));
    const QByteArray before = readFile(dbPath);
    {
        testsupport::FileSizeLimit limit(uint64_t(before.size()) + 16);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(book.add(sampleOrder("Q-2")) || book.save());
    }
    EXPECT_EQ(readFile(dbPath), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"OE.DB"});

    // The next append stores its own order; the save it leads to stores the
    // one that failed.
    ASSERT_TRUE(book.add(sampleOrder("Q-3")));
    EXPECT_EQ(std::tuple(book.saveOwed(), book.unstoredOrders()), std::tuple(true, 1u));
    ASSERT_TRUE(book.save());
    EXPECT_FALSE(book.saveOwed());
    EXPECT_EQ(reloaded(), "Q-1/anna@example.org Q-2/anna@example.org Q-3/anna@example.org");
}

TEST_F(OrderBookTest, ConcurrentAddsKeepRecordsWhole) {
    std::atomic<int> stored{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i)
                stored += book.add(sampleOrder("T" + std::to_string(t) + "-" + std::to_string(i)));
        });
    for (size_t seen = 0; seen < 240;) // a painter reading meanwhile
        seen = book.withOrders([](const OrderBook::Orders& orders) {
            EXPECT_TRUE(std::is_sorted(orders.begin(), orders.end(), [](auto& a, auto& b) {
                return a->orderNumber < b->orderNumber;
            }));
            return orders.size();
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(stored, 240);
    EXPECT_EQ(reloaded(), listOf(book));
}

// A book at the database's path, and the order log a purge writes.
class OrderBookPurgeTest : public OrderBookTest {
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
    EXPECT_EQ(std::tuple(exists(old1), exists(old2), exists(young + "/sub/deeper/x.tmp"),
                         exists(cutoff + "/sub/deeper/x.tmp")),
              std::tuple(false, false, true, true));
    EXPECT_EQ(readFile(dir.filePath("OE.DB")), database);
}

TEST_F(OrderBookPurgeTest, NothingOutsideTheFolderIsTouched) {
    const QString outside = dir.filePath("outside");
    const QString work = dir.filePath("work"); // the working folder
    const QStringList kept = {outside + "/keep.txt", outside + "/inner/keep.txt",
                              work + "/keep.txt"};
    ASSERT_TRUE(QDir().mkpath(outside + "/inner") && QDir().mkpath(work));
    for (const QString& file : kept)
        ASSERT_TRUE(writeFile(file, "keep"));
    const std::string linked = makeFolder("Q-1");
    const QString q1 = QString::fromStdString(linked);
    ASSERT_TRUE(QFile::link(outside, q1 + "/sub/dirlink"));
    ASSERT_TRUE(QFile::link(outside + "/keep.txt", q1 + "/filelink"));
    const QString folderLink = dir.filePath("Orders/Q-2");
    ASSERT_TRUE(QFile::link(outside, folderLink));

    // The working folder and its parents are never removed, whatever a record says.
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
    for (const QString& file : kept)
        EXPECT_EQ(readFile(file), "keep") << file.toStdString();
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
    // One rewrite at a time: its snapshot must outlive no purged order.
    EXPECT_FALSE(book.save() || book.takePurge(0, kNow + kDay, false));
    EXPECT_EQ(book.size(), 2u);
    release.set_value();
    worker.join();
    EXPECT_TRUE(releasedInTime);
    EXPECT_EQ(std::tuple(done.removed, done.saved, book.saveOwed(), exists(old)),
              std::tuple(1, true, false, false));
    EXPECT_EQ(orderNumbersIn(readFile(log)), std::vector<QString>{"Q-1"});

    EXPECT_EQ(reloaded(), "Q-2/b Q-3/c");
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
    EXPECT_EQ(texts.mid(0, 3), (QStringList{"Q<1>&", QString::fromLatin1(customer),
                                            QString::fromUtf8("a\r\nb\xEF\xBF\xBD.jpg")}));
}

} // namespace
