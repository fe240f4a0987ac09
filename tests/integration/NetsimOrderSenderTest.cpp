// The simulated network's sending side (`quillon-netsim send-order` and
// `register`) against a real shop: the bytes that arrive, and the
// acknowledgements reported. Scripted stand-ins play a shop that misbehaves.
#include "orders/OrderBook.h"
#include "protocol/Exchange.h"
#include "protocol/FramedPacket.h"
#include "protocol/NewOrderMessages.h"
#include "protocol/OrderHeader.h"
#include "support/LoopbackPeer.h"
#include "support/PythonServer.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

QByteArray randomBytes(int count, uint32_t seed) {
    QByteArray out;
    for (uint32_t i = 0, x = seed; int(i) < count; ++i)
        out.append(char((x = x * 1664525u + 1013904223u) >> 24));
    return out;
}

// A running shop, and a folder of pictures: a.jpg of 10000 bytes and an
// empty one.
struct Sender : ServedShop {
    QTemporaryDir pictures;
    Sender() {
        writeFile(pictures.filePath("a.jpg"), randomBytes(10000, 1));
        writeFile(pictures.filePath("empty.jpg"), {});
        go(false);
    }
    NetsimRun send(const QStringList& extra, const QString& port1 = {}) {
        return runNetsimWhileServing(QStringList{"send-order", "--shop-number", "42", "--port",
                                                 port1.isEmpty() ? h.port1() : port1,
                                                 "--register-port", h.port2()} +
                                     extra);
    }
    QString folder(const QString& number) const { return h.folder.filePath("Orders/" + number); }
};

QStringList lines(const NetsimRun& run) {
    return run.out.split('\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(NetsimSender, OrdersReachTheShopWholeBlockByBlock) {
    Sender s;
    NetsimRun run = s.send({"--pictures", s.pictures.path(), "--block-size", "4096", "--items",
                            "105:2,109:1", "--email", "anna@example.com"});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    QStringList out = lines(run);
    ASSERT_EQ(out.size(), 8);
    EXPECT_EQ(out[0], "registered 000001 in " + s.folder("000001"));
    EXPECT_TRUE(out[1].startsWith("ack header ")) << out[1].toStdString();
    EXPECT_EQ(out.mid(2), (QStringList{"ack ready 1", "ack file-header 26", "ack block 4096",
                                       "ack block 4096", "ack block 1808", "ack file-header 30"}));
    EXPECT_EQ(readFile(s.folder("000001") + "/a.jpg"), randomBytes(10000, 1));
    EXPECT_TRUE(QFileInfo::exists(s.folder("000001") + "/empty.jpg"));
    ASSERT_TRUE(processUntil([&] { return s.h.shop->orderBook().size() == 1; }));
    s.h.shop->orderBook().withOrders([](const OrderBook::Orders& orders) {
        const OrderEntry& o = *orders[0];
        EXPECT_EQ(o.customer, "anna@example.com");
        ASSERT_EQ(o.pictures.size(), 2u);
        EXPECT_EQ(o.pictures[1].fileName, "empty.jpg");
        ASSERT_EQ(o.pictures[1].items.size(), 2u);
        EXPECT_EQ(std::tuple(o.pictures[1].items[1].code, o.pictures[1].items[1].quantity),
                  std::tuple(109, 1));
    });

    // Generated pictures are photo-sized JPEGs with a real photo's grain.
    run = s.send({"--generate", "2", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_TRUE(json["ok"].toBool());
    QJsonObject order = json["orders"].toArray().at(0).toObject();
    EXPECT_EQ(order["number"].toString(), "000002");
    EXPECT_GE(order["acks"].toArray().size(), 6);
    QByteArray first = readFile(s.folder("000002") + "/IMG_0001.jpg");
    QByteArray second = readFile(s.folder("000002") + "/IMG_0002.jpg");
    EXPECT_NE(first, second);
    for (const QByteArray& data : {first, second}) {
        QImage image = QImage::fromData(data, "JPG");
        ASSERT_FALSE(image.isNull());
        EXPECT_GE(qint64(image.width()) * image.height(), 3'000'000);
        EXPECT_GT(data.size(), 500'000);
    }
}

TEST(NetsimSender, RefusalsAndWrongAcknowledgementsFailTheRun) {
    Sender s;
    NetsimRun run = runNetsimWhileServing({"send-order", "--pictures", s.pictures.path(),
                                           "--shop-number", "43", "--register-port", s.h.port2(),
                                           "--port", QString::number(closedLocalPort())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("refused the registration with result -3"))
        << run.err.toStdString();

    ASSERT_TRUE(QDir().mkdir(s.folder("DUP")));
    run = s.send({"--pictures", s.pictures.path(), "--number", "DUP", "--folder", s.folder("DUP")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("(expected 1)")) << run.out.toStdString();

    // A shop that miscounts the first block.
    LoopbackPeer miscounting([](Socket& s) {
        OrderHeader header;
        ByteData fileHeader, block;
        if (s.SendU32(uint32_t(header.receive(s))) && FramedPacket().receivePacket(s) == 1 &&
            s.SendU32(1) && s.ReceiveBytes(fileHeader) && s.SendU32(uint32_t(fileHeader.size())) &&
            s.ReceiveBytesN(4096, block))
            s.SendU32(4101);
    });
    run =
        runNetsim({"send-order", "--pictures", s.pictures.path(), "--number", "1", "--folder",
                   "/x/1", "--block-size", "4096", "--port", QString::number(miscounting.port())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("ack block 4101 (expected 4096)")) << run.out.toStdString();
}

TEST(NetsimSender, MisbehavingOnPurpose) {
    Sender s;
    NetsimRun run = s.send({"--pictures", s.pictures.path(), "--number", "CUT", "--folder",
                            s.folder("CUT"), "--disconnect-after-files", "1"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_TRUE(processUntil([&] { return s.h.hasLine("Order CUT aborted."); }));
    EXPECT_EQ(s.h.folder.files("Orders/CUT"), QStringList{"a.jpg"});

    // A file announced larger than it is: the shop waits for bytes that never
    // come, and the sender gives up after its time-out.
    run = s.send({"--pictures", s.pictures.path(), "--number", "LIE", "--folder", s.folder("LIE"),
                  "--file-size-lie", "100", "--timeout", "1500"});
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_TRUE(processUntil([&] { return s.h.hasLine("Order LIE aborted."); }));
    EXPECT_EQ(s.h.shop->orderBook().size(), 0u);
}

TEST(NetsimSender, RegisterFailsWhenTheShopGivesNoAnswer) {
    LoopbackPeer silent([](Socket& s) {
        ByteData opening;
        NewOrderRequest request;
        if (s.ReceiveBytes(opening))
            receivePlain(request, bytesOf(opening), s);
    });
    QStringList registration{"register", "--shop-number", "42", "--ref1", "A", "--ref2",
                             "B",        "--email",       "e",  "--port"};
    NetsimRun run = runNetsim(registration + QStringList{QString::number(silent.port())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("without an answer")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());

    run = runNetsim(registration + QStringList{QString::number(closedLocalPort())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot connect")) << run.err.toStdString();
}
