// The simulated network's own parts: its sending side (`quillon-netsim
// send-order`) against a real shop, with the bytes that arrive, the
// acknowledgements reported and a run that fails when one is wrong. The
// central service's answers to each request and its fault rules are the
// shop's request tests'.
#include "core/WorkingFolders.h"
#include "protocol/FramedPacket.h"
#include "protocol/OrderHeader.h"

#include "support/LoopbackPeer.h"
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
    NetsimRun send(const QStringList& options) { return h.sendOrders(options); }
    QString folder(const QString& number) const { return h.folder.filePath(kOrdersFolder, number); }
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
    EXPECT_EQ(std::tuple(readFile(s.folder("000001") + "/a.jpg"),
                         QFileInfo::exists(s.folder("000001") + "/empty.jpg")),
              std::tuple(randomBytes(10000, 1), true));

    // Generated pictures are photo-sized JPEGs with a real photo's grain.
    run = s.send({"--generate", "2", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QJsonObject order = json["orders"].toArray().at(0).toObject();
    EXPECT_EQ(std::tuple(json["ok"].toBool(), order["number"].toString()),
              std::tuple(true, "000002"));
    EXPECT_GE(order["acks"].toArray().size(), 6);
    QByteArray first = readFile(s.folder("000002") + "/IMG_0001.jpg");
    QByteArray second = readFile(s.folder("000002") + "/IMG_0002.jpg");
    EXPECT_NE(first, second);
    for (const QByteArray& data : {first, second}) {
        QImage image = QImage::fromData(data, "JPG");
        EXPECT_TRUE(qint64(image.width()) * image.height() >= 3'000'000 && data.size() > 500'000);
    }
}

// The sender checks every acknowledgement, so a run that ends with 0 means
// the shop took the order whole.
TEST(NetsimSender, WrongAcknowledgementsFailTheRun) {
    QTemporaryDir pictures;
    ASSERT_TRUE(writeFile(pictures.filePath("a.jpg"), randomBytes(10000, 1)));
    // A shop that miscounts the first block.
    LoopbackPeer miscounting([](Socket& s) {
        OrderHeader header;
        ByteData fileHeader, block;
        if (s.SendU32(uint32_t(header.receive(s))) && FramedPacket().receivePacket(s) == 1 &&
            s.SendU32(1) && s.ReceiveBytes(fileHeader) && s.SendU32(uint32_t(fileHeader.size())) &&
            s.ReceiveBytesN(4096, block))
            s.SendU32(4101);
    });
    NetsimRun run =
        runNetsim({"send-order", "--pictures", pictures.path(), "--number", "1", "--folder", "/x/1",
                   "--block-size", "4096", "--port", QString::number(miscounting.port())});
    EXPECT_TRUE(run.exitCode == 1 && run.out.contains("ack block 4101 (expected 4096)"))
        << run.out.toStdString();
}
