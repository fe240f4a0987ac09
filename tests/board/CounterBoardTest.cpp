// The counter board through a real HTTP client on 127.0.0.1: login and
// sessions, the refusals, the order list, an order's page and its files,
// and the bounds on connections.
#include "board/CounterBoard.h"
#include "board/BoardPassword.h"
#include "core/WorkingFolders.h"
#include "orders/FilePaths.h"
#include "orders/OrderBook.h"
#include "orders/SummaryBuilder.h"
#include "status/StatusStore.h"
#include "support/ManualClock.h"
#include "support/OrderSamples.h"
#include "support/TestSupport.h"
#include "support/board/BoardClient.h"
#include "support/shop/ShopFolder.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

const QString kPassword = "counter-Secret 7";

class CounterBoardTest : public ::testing::Test {
protected:
    CounterBoardTest() : book(folder.filePath(kDbFolder, "OE.DB").toStdString()) {
        statuses.open();
        config.address = "127.0.0.1";
        config.port = 0;
        config.passwordHash = hashBoardPassword(kPassword.toStdString());
    }

    // Starts the board and gives its port (0 when it did not start).
    int start() {
        std::optional<int> port;
        QObject context;
        QObject::connect(&board, &CounterBoard::statusLine, &context,
                         [this](const QString& text) { line = text; });
        QObject::connect(&board, &CounterBoard::started, &context, [&port](int p) { port = p; });
        board.start(config);
        processUntil([&] { return port.has_value(); });
        return port.value_or(0);
    }

    // An order whose folder holds a real picture and a summary.
    const OrderEntry& addOrderWithFiles(const std::string& number, uint32_t received) {
        const std::string dir = joinPath(folder.str(), std::string(kOrdersFolder) + "/" + number);
        QDir().mkpath(qtPath(dir));
        QImage picture(800, 600, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(qtPath(joinPath(dir, "p1.jpg")), "JPG");
        writeFile(qtPath(summaryPath(dir, number)),
                  "%PDF-1.4 summary of " + QByteArray(number.c_str()));
        book.add(sampleOrder(number, received, "anna@example.org", dir));
        return *book.withOrders([&](const OrderBook::Orders& orders) {
            for (const auto& o : orders)
                if (o->orderNumber == number)
                    return o.get();
            return static_cast<OrderEntry*>(nullptr);
        });
    }

    ShopFolder folder;
    OrderBook book;
    ManualClock clock{1'700'000'000};
    const std::string statusPath = folder.filePath(kDbFolder, "status.sqlite").toStdString();
    StatusStore statuses{statusPath, clock};
    CounterBoard board{book, clock, &statuses};
    BoardConfig config;
    QString line;
};

QStringList idsOf(const HttpReply& reply) {
    QStringList ids;
    for (const QJsonValue& o : reply.json().value("orders").toArray())
        ids << o.toObject().value("id").toString();
    return ids;
}

} // namespace

TEST_F(CounterBoardTest, LoginSessionsAndTheRefusals) {
    const int port = start();
    ASSERT_GT(port, 0) << line.toStdString();
    EXPECT_EQ(line, QString("Counter board at http://127.0.0.1:%1/").arg(port));
    BoardClient client(port);

    const HttpReply page = client.get("/");
    EXPECT_EQ(std::tuple(page.status, page.body.contains("board.js")), std::tuple(200, true));
    for (const char* name : {"Content-Security-Policy", "X-Content-Type-Options", "Cache-Control"})
        EXPECT_FALSE(page.header(name).isEmpty()) << name;
    EXPECT_EQ(page.header("Content-Security-Policy"), "default-src 'self'; frame-ancestors 'none'");

    EXPECT_EQ(client.get("/api/orders").status, 401);
    EXPECT_EQ(client.login("wrong").status, 401);
    // A page elsewhere that names its own host (DNS rebinding) is refused.
    EXPECT_EQ(client.get("/", {{"Host", "board.attacker.example"}}).status, 421);

    const HttpReply login = client.login(kPassword);
    ASSERT_EQ(login.status, 200);
    const QByteArray cookie = login.header("Set-Cookie");
    EXPECT_TRUE(cookie.contains("HttpOnly") && cookie.contains("SameSite=Strict"))
        << cookie.constData();
    EXPECT_GE(QString(cookie).section(';', 0, 0).section('=', 1).size(), 32); // >= 128 bits in hex
    EXPECT_GE(login.json().value("csrf").toString().size(), 32);
    EXPECT_EQ(client.get("/api/orders").status, 200);

    // State changes need this session's token and, when sent, this board's origin.
    EXPECT_EQ(client.post("/api/logout", "{}", {{"X-CSRF-Token", "forged"}}).status, 403);
    EXPECT_EQ(client.post("/api/logout", "{}", {{"Origin", "http://attacker.example"}}).status,
              403);
    EXPECT_EQ(client.get("/api/orders").status, 200);
    EXPECT_EQ(client.post("/api/logout", "{}").status, 200);
    EXPECT_EQ(client.get("/api/orders").status, 401);

    // Sessions end after 12 hours unused and when the password changes.
    ASSERT_EQ(client.login(kPassword).status, 200);
    clock.advance(12 * 3600);
    EXPECT_EQ(client.get("/api/orders").status, 401);
    ASSERT_EQ(client.login(kPassword).status, 200);
    board.setPasswordHash(hashBoardPassword("another"));
    EXPECT_EQ(client.get("/api/orders").status, 401);
    EXPECT_EQ(client.login("another").status, 200);
}

TEST_F(CounterBoardTest, TooManyFailedLoginsAreRefusedForAMinute) {
    const int port = start();
    ASSERT_GT(port, 0);
    BoardClient client(port);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(client.login("wrong").status, 401) << i;
    EXPECT_EQ(client.login("wrong").status, 429);
    EXPECT_EQ(client.login(kPassword).status, 429);
    clock.advance(59);
    EXPECT_EQ(client.login(kPassword).status, 429);
    clock.advance(2);
    EXPECT_EQ(client.login(kPassword).status, 200);
}

TEST_F(CounterBoardTest, ListsNewestFirstAndPagesWithoutSkipsWhileOrdersArrive) {
    for (int i = 0; i < 30; ++i)
        book.add(sampleOrder("B-" + std::to_string(100 + i), 1'600'000'000 + uint32_t(i % 10),
                             i == 7 ? "Zoe.Found@Example.org" : "anna@example.org",
                             "/orders/" + std::to_string(i)));
    // A number repeated after a wrap is another order.
    book.add(sampleOrder("B-100", 1'650'000'000, "anna@example.org", "/orders/again"));
    const int port = start();
    ASSERT_GT(port, 0);
    BoardClient client(port);
    ASSERT_EQ(client.login(kPassword).status, 200);

    QStringList seen;
    HttpReply page = client.get("/api/orders?limit=12");
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.json().value("total").toInt(), 31);
    const QJsonObject first = page.json().value("orders").toArray().at(0).toObject();
    EXPECT_EQ(std::tuple(first.value("number").toString(),
                         first.value("received").toString().left(4),
                         first.value("amount").toDouble()),
              std::tuple("B-100", "2022", 12.75));
    seen << idsOf(page);
    while (page.json().value("orders").toArray().size() == 12) {
        // Orders arriving between pages come first and never shift the pages.
        book.add(sampleOrder("C-" + std::to_string(seen.size()), 1'700'000'000, "new@example.org",
                             "/orders/c" + std::to_string(seen.size())));
        page = client.get("/api/orders?limit=12&before=" + seen.last());
        ASSERT_EQ(page.status, 200);
        seen << idsOf(page);
    }
    EXPECT_EQ(std::tuple(seen.size(), QSet<QString>(seen.begin(), seen.end()).size(), book.size()),
              std::tuple(31, 31, 33u)); // two arrived
    EXPECT_EQ(client.get("/api/orders").json().value("total").toInt(), 33);
    EXPECT_EQ(client.get("/api/orders?q=zoe.found").json().value("total").toInt(), 1);
    EXPECT_EQ(client.get("/api/orders?limit=500").json().value("orders").toArray().size(), 33);
    EXPECT_EQ(client.get("/api/orders?limit=0").status, 400);
    EXPECT_EQ(client.get("/api/orders?before=0000000000000000").status, 404);
}

TEST_F(CounterBoardTest, AnOrdersPageThumbnailAndSummaryComeOnlyThroughTheBook) {
    const OrderEntry& order = addOrderWithFiles("D-1", 1'600'000'000);
    // A picture name that would lead out of the order's folder.
    writeFile(folder.filePath(kOrdersFolder, "secret.jpg"),
              readFile(folder.filePath(kOrdersFolder, "D-1/p1.jpg")));
    auto outside = sampleOrder("D-2", 1'600'000'001, "b@example.org", order.folder);
    outside->pictures = {{"../secret.jpg", {}}};
    book.add(std::move(outside));
    const int port = start();
    ASSERT_GT(port, 0);
    BoardClient client(port);
    ASSERT_EQ(client.login(kPassword).status, 200);
    const QStringList ids = idsOf(client.get("/api/orders"));
    ASSERT_EQ(ids.size(), 2);
    const QString id = ids[1], outsideId = ids[0];

    const QJsonObject detail = client.get("/api/orders/" + id).json();
    const QJsonObject picture = detail.value("pictures").toArray().at(0).toObject();
    EXPECT_EQ(std::tuple(detail.value("number").toString(), picture.value("name").toString(),
                         picture.value("copies").toInt(),
                         picture.value("items")[0]["code"].toInt()),
              std::tuple("D-1", "p1.jpg", 3, 101));

    const HttpReply thumbnail = client.get("/api/orders/" + id + "/pictures/0/thumbnail");
    ASSERT_EQ(thumbnail.status, 200);
    EXPECT_EQ(std::tuple(thumbnail.header("Content-Type"),
                         QImage::fromData(thumbnail.body, "JPG").width()),
              std::tuple("image/jpeg", 240));
    // Made once: another browser showing the order is not made to wait for
    // the picture to be read again.
    ASSERT_TRUE(QFile::remove(folder.filePath(kOrdersFolder, "D-1/p1.jpg")));
    EXPECT_EQ(client.get("/api/orders/" + id + "/pictures/0/thumbnail").body, thumbnail.body);
    const HttpReply pdf = client.get("/api/orders/" + id + "/summary.pdf");
    EXPECT_EQ(std::tuple(pdf.status, pdf.body), std::tuple(200, "%PDF-1.4 summary of D-1"));

    for (const QString& path : QStringList{"/api/orders/..%2F..%2FOrders%2FD-1/summary.pdf",
                                           "/api/orders/" + id + "/pictures/1/thumbnail",
                                           "/api/orders/" + id + "/pictures/-1/thumbnail",
                                           "/api/orders/" + id + "/pictures/00/thumbnail",
                                           "/api/orders/" + id + "/pictures/%2E%2E/thumbnail",
                                           "/api/orders/" + outsideId + "/pictures/0/thumbnail",
                                           "/Orders/D-1/p1.jpg", "/..%2FOrders%2FD-1%2Fp1.jpg"})
        EXPECT_EQ(client.get(path).status, 404) << path.toStdString();
}

TEST_F(CounterBoardTest, ConnectionsAreBoundedInNumberSizeAndIdleTime) {
    config.limits.maxConnections = 3;
    config.limits.idleLimitMs = 1000;
    config.limits.maxRequestBytes = 4096;
    const int port = start();
    ASSERT_GT(port, 0);

    std::vector<std::unique_ptr<QTcpSocket>> open;
    for (int i = 0; i < 4; ++i) {
        open.push_back(std::make_unique<QTcpSocket>());
        open.back()->connectToHost("127.0.0.1", quint16(port));
        // The fourth is closed at once.
        const auto wanted =
            i < 3 ? QAbstractSocket::ConnectedState : QAbstractSocket::UnconnectedState;
        ASSERT_TRUE(processUntil([&] { return open.back()->state() == wanted; })) << i;
    }
    // The others once idle for the limit.
    EXPECT_EQ(open[0]->state(), QAbstractSocket::ConnectedState);
    EXPECT_TRUE(
        processUntil([&] { return open[0]->state() == QAbstractSocket::UnconnectedState; }));
    open.clear();

    BoardClient client(port);
    EXPECT_EQ(client.get("/", {{"X-Padding", QByteArray(3000, 'a')}}).status, 200);
    EXPECT_EQ(client.get("/", {{"X-Padding", QByteArray(5000, 'a')}}).status, 0);
    EXPECT_EQ(client.post("/api/login", QByteArray(100000, '{')).status, 0);
    // Closed connections no longer count (once the board has seen them close).
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(waitUntil([port] { return BoardClient(port).get("/").status == 200; })) << i;
}

TEST_F(CounterBoardTest, WithACertificateAndKeyItSpeaksTlsOnly) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder.path());
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                              "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", "key.pem",
                              "-out", "cert.pem", "-days", "2", "-subj", "/CN=127.0.0.1"});
    ASSERT_TRUE(openssl.waitForFinished(30000) && openssl.exitCode() == 0);
    config.certificate = folder.filePath("cert.pem");
    config.key = folder.filePath("missing.pem");
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(line.contains("cannot be read")) << line.toStdString();

    config.key = folder.filePath("key.pem");
    const int port = start();
    ASSERT_GT(port, 0) << line.toStdString();
    EXPECT_EQ(line, QString("Counter board at https://127.0.0.1:%1/").arg(port));
    BoardClient client(port, true);
    const HttpReply login = client.login(kPassword);
    ASSERT_EQ(login.status, 200);
    EXPECT_TRUE(login.header("Set-Cookie").contains("secure"))
        << login.header("Set-Cookie").constData();
    EXPECT_EQ(client.get("/api/orders").status, 200);
    EXPECT_EQ(BoardClient(port).get("/").status, 0);
}

TEST_F(CounterBoardTest, WithoutAPasswordNothingServes) {
    config.passwordHash.clear();
    EXPECT_EQ(start(), 0);
    EXPECT_TRUE(line.contains("no password")) << line.toStdString();
}

// Statuses: the list's field and filter, a change from the board committed
// by the shop's store (and seen there, as the window sees it) before it is
// answered, a change made elsewhere seen by the board, and the refusals.
// That statuses outlive a restart is the store's test.
TEST_F(CounterBoardTest, StatusesAreListedFilteredAndChangedThroughTheShop) {
    book.add(sampleOrder("S-1", 1'600'000'000, "a@example.org", "/orders/s1"));
    book.add(sampleOrder("S-2", 1'600'000'001, "b@example.org", "/orders/s2"));
    const int port = start();
    ASSERT_GT(port, 0);
    BoardClient client(port);
    const HttpReply login = client.login(kPassword);
    EXPECT_EQ(login.json().value("statuses").toArray().size(), 6);
    const QStringList ids = idsOf(client.get("/api/orders"));
    ASSERT_EQ(ids.size(), 2);
    const QString first = ids[1];
    const auto total = [&client](const QString& status) {
        return client.get("/api/orders?status=" + status).json().value("total").toInt();
    };
    EXPECT_EQ(client.get("/api/orders").json().value("orders")[0]["status"].toString(), "new");

    const HttpReply ready =
        client.post("/api/orders/" + first + "/status", R"({"status": "ready"})");
    ASSERT_EQ(ready.status, 200) << ready.body.constData();
    const QJsonObject change = ready.json().value("history")[0].toObject();
    EXPECT_EQ(std::tuple(ready.json().value("status").toString(),
                         change.value("station").toString(), change.value("status").toString()),
              std::tuple("ready", "board 127.0.0.1", "ready"));
    const OrderKey firstKey{"S-1", 1'600'000'000, "/orders/s1"};
    EXPECT_EQ(statuses.statusOf(firstKey), OrderStatus::Ready);
    EXPECT_EQ(std::tuple(total("ready"), total("new"), total("open"), total("")),
              std::tuple(1, 1, 2, 2));

    statuses.requestChange({{"S-2", 1'600'000'001, "/orders/s2"}}, OrderStatus::PickedUp, "window");
    EXPECT_TRUE(processUntil([&] { return total("picked-up") == 1; }));
    EXPECT_EQ(total("open"), 1);

    EXPECT_EQ(client.post("/api/orders/" + first + "/status", R"({"status": "done"})").status, 400);
    EXPECT_EQ(client.get("/api/orders?status=done").status, 400);
    EXPECT_EQ(client.post("/api/orders/0000000000000000/status", R"({"status": "ready"})").status,
              404);
}
