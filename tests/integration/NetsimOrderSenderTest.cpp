// The simulated network's sending side (register, status-query, send-order)
// against stand-ins of the shop's order servers built from the protocol
// library: the bytes that arrive, and the acknowledgements reported.
#include "protocol/Exchange.h"
#include "protocol/FileHeader.h"
#include "protocol/FramedPacket.h"
#include "protocol/ItemList.h"
#include "protocol/NewOrderMessages.h"
#include "protocol/OrderHeader.h"
#include "protocol/StatusMessages.h"

#include "support/NetsimService.h"
#include "support/PythonServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

using namespace quillon;
using testsupport::NetsimRun;
using testsupport::runNetsim;

namespace {

constexpr int kIdleMs = 5000;

// A listening port on 127.0.0.1 that serves `connections` connections, each
// on a thread of its own, with `handler`.
class StandIn {
public:
    StandIn(int connections, std::function<void(Socket&)> handler) {
        m_listener.SetReadIdleLimit(kIdleMs);
        m_listener.SetSendIdleLimit(kIdleMs);
        m_listener.BindAndListen(0, 16, "127.0.0.1");
        m_accept = std::thread([this, connections, handler] {
            for (int i = 0; i < connections; ++i) {
                std::shared_ptr<Socket> s = m_listener.AcceptNextConnection(20000);
                if (!s)
                    return;
                m_workers.emplace_back([s, handler] { handler(*s); });
            }
        });
    }
    ~StandIn() { finish(); }

    int port() const { return m_listener.LocalPort(); }
    QString portText() const { return QString::number(port()); }
    void finish() {
        if (m_accept.joinable())
            m_accept.join();
        for (std::thread& t : m_workers)
            t.join();
        m_workers.clear();
    }

private:
    Socket m_listener;
    std::thread m_accept;
    std::vector<std::thread> m_workers;
};

struct Registered {
    int32_t shopNumber = 0;
    std::string reference1;
    std::string reference2;
    std::string email;
};

// Order server 2 of a shop that gives numbers 000001, 000002, ...
struct RegistrationDesk {
    std::mutex mutex;
    std::vector<Registered> seen;
    int32_t result = 1;

    void operator()(Socket& s) {
        ByteData opening;
        NewOrderRequest request;
        if (!s.ReceiveBytes(opening) || receivePlain(request, bytesOf(opening), s) < 0)
            return;
        NewOrderAnswer answer;
        {
            std::lock_guard lock(mutex);
            seen.push_back({request.shopNumber, request.reference1, request.reference2,
                            request.customerEmail});
            answer.result = result;
            if (result == 1) {
                answer.orderNumber =
                    QString("%1").arg(seen.size(), 6, 10, QChar('0')).toStdString();
                answer.folder = "/orders/" + answer.orderNumber;
            }
        }
        answer.shippingFlag1 = 3;
        answer.shippingFlag2 = 4;
        answer.trustedCustomer = 1;
        sendPlain(answer, s);
    }
};

struct ReceivedOrder {
    int headerResult = 0;
    std::string number, folder, reference1, reference2, customer, title;
    int32_t blockSize = 0, fileCount = 0;
    float taxRate = 0;
    ItemList items;
    std::vector<std::pair<std::string, QByteArray>> files;
    bool complete = false;
};

// Order server 1 as the shop's reception worker runs it; `folderAnswer` and
// `ackSkew` make it refuse the folder or miscount the first block.
struct ReceptionDesk {
    std::mutex mutex;
    std::vector<ReceivedOrder> orders;
    int32_t folderAnswer = 1;
    int ackSkew = 0;

    void operator()(Socket& s) {
        ReceivedOrder order;
        receive(s, order);
        std::lock_guard lock(mutex);
        orders.push_back(std::move(order));
    }

    void receive(Socket& s, ReceivedOrder& order) const {
        OrderHeader header;
        order.headerResult = header.receive(s);
        s.SendU32(uint32_t(order.headerResult));
        order.number = header.orderNumber;
        order.folder = header.folder;
        order.reference1 = header.reference1;
        order.reference2 = header.reference2;
        order.customer = header.customer;
        order.title = header.title;
        order.blockSize = header.blockSize;
        order.fileCount = header.fileCount;
        order.taxRate = header.taxRate();
        FramedPacket packet;
        if (packet.receivePacket(s) != 1)
            return;
        order.items = decodeItemList(bytesOf(packet.body())).value;
        s.SendU32(uint32_t(folderAnswer));
        if (folderAnswer != 1)
            return;
        int skew = ackSkew;
        for (int k = 0; k < header.fileCount; ++k) {
            ByteData fileHeader;
            if (!s.ReceiveBytes(fileHeader))
                return;
            s.SendU32(uint32_t(fileHeader.size()));
            auto decoded = decodeFileHeader(bytesOf(fileHeader));
            if (!decoded.ok || header.blockSize <= 0)
                return;
            QByteArray data;
            while (size_t(data.size()) < decoded.value.size) {
                size_t block = 0;
                while (block < size_t(header.blockSize) &&
                       size_t(data.size()) < decoded.value.size) {
                    size_t want = std::min(decoded.value.size - size_t(data.size()),
                                           size_t(header.blockSize) - block);
                    ByteData piece;
                    if (!s.ReceiveBytes(piece, want))
                        return;
                    data.append(reinterpret_cast<const char*>(piece.data()), piece.size());
                    block += piece.size();
                }
                s.SendU32(uint32_t(block + std::exchange(skew, 0)));
            }
            order.files.emplace_back(decoded.value.name, data);
        }
        order.complete = true;
    }
};

QByteArray randomBytes(int count, uint32_t seed) {
    QByteArray out;
    uint32_t x = seed;
    for (int i = 0; i < count; ++i) {
        x = x * 1664525u + 1013904223u;
        out.append(char(x >> 24));
    }
    return out;
}

class NetsimSender : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pictures.isValid());
        testsupport::writeFile(pictures.filePath("a.jpg"), randomBytes(10000, 1));
        testsupport::writeFile(pictures.filePath("empty.jpg"), {});
    }

    QStringList lines(const NetsimRun& run) const {
        return run.out.split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir pictures;
};

} // namespace

TEST_F(NetsimSender, RegisterPrintsTheShopsSixAnswerFields) {
    RegistrationDesk desk;
    StandIn shop(1, std::ref(desk));
    NetsimRun run = runNetsim({"register", "--shop-number", "42", "--ref1", "VPN-77", "--ref2",
                               "WEB", "--email", "anna@example.com", "--port", shop.portText()});
    shop.finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(lines(run), (QStringList{"result: 1", "folder: /orders/000001", "number: 000001",
                                       "shipping1: 3", "shipping2: 4", "trusted: 1"}));
    ASSERT_EQ(desk.seen.size(), 1u);
    EXPECT_EQ(desk.seen[0].shopNumber, 42);
    EXPECT_EQ(desk.seen[0].reference1, "VPN-77");
    EXPECT_EQ(desk.seen[0].reference2, "WEB");
    EXPECT_EQ(desk.seen[0].email, "anna@example.com");

    // A refusal is still a completed conversation.
    desk.result = -3;
    StandIn refusing(1, std::ref(desk));
    run = runNetsim({"register", "--shop-number", "7", "--ref1", "A", "--ref2", "B", "--email", "e",
                     "--port", refusing.portText()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.startsWith("result: -3\nfolder: \nnumber: \n")) << run.out.toStdString();
}

TEST_F(NetsimSender, RegisterFailsWhenTheShopGivesNoAnswer) {
    StandIn silent(1, [](Socket& s) {
        ByteData opening;
        NewOrderRequest request;
        if (s.ReceiveBytes(opening))
            receivePlain(request, bytesOf(opening), s);
    });
    NetsimRun run = runNetsim({"register", "--shop-number", "42", "--ref1", "A", "--ref2", "B",
                               "--email", "e", "--port", silent.portText()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("without an answer")) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());

    run = runNetsim({"register", "--shop-number", "42", "--ref1", "A", "--ref2", "B", "--email",
                     "e", "--port", QString::number(testsupport::closedLocalPort())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot connect")) << run.err.toStdString();
}

TEST_F(NetsimSender, StatusQueryPrintsTheTwentyTwoFields) {
    std::string asked;
    StandIn shop(1, [&asked](Socket& s) {
        ByteData opening;
        StatusQuery query;
        if (!s.ReceiveBytes(opening) || receivePlain(query, bytesOf(opening), s) < 0)
            return;
        asked = query.shopId;
        StatusAnswer answer;
        answer.result = 1;
        answer.details.body = "Dear customer,\r\nthank you.";
        answer.details.currentNumber = 17;
        answer.details.rootPath = "/srv/orders";
        answer.details.offline = 1;
        answer.shopId = query.shopId;
        answer.writeTest = 1;
        sendPlain(answer, s);
    });
    NetsimRun run = runNetsim({"status-query", "--shop-id", "ABC123", "--port", shop.portText()});
    shop.finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(asked, "ABC123");
    QStringList out = lines(run);
    ASSERT_EQ(out.size(), 22);
    EXPECT_EQ(out[0], "result: 1");
    EXPECT_EQ(out[2], "body: Dear customer,\\r\\nthank you.");
    EXPECT_EQ(out[3], "currentnumber: 17");
    EXPECT_EQ(out[12], "rootpath: /srv/orders");
    EXPECT_EQ(out[14], "shopid: ABC123");
    EXPECT_EQ(out[20], "offline: 1");
    EXPECT_EQ(out[21], "writetest: 1");
}

TEST_F(NetsimSender, SendOrderRegistersThenSendsEveryFileBlockByBlock) {
    RegistrationDesk registration;
    ReceptionDesk reception;
    StandIn server2(1, std::ref(registration));
    StandIn server1(1, std::ref(reception));
    NetsimRun run = runNetsim(
        {"send-order",      "--pictures", pictures.path(),    "--block-size",     "4096",
         "--tax",           "7.5",        "--items",          "105:2,109:1",      "--title",
         "Summer prints",   "--email",    "anna@example.com", "--shop-number",    "42",
         "--ref1",          "VPN-5",      "--port",           server1.portText(), "--register-port",
         server2.portText()});
    server1.finish();
    server2.finish();
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();

    ASSERT_EQ(registration.seen.size(), 1u);
    EXPECT_EQ(registration.seen[0].shopNumber, 42);
    ASSERT_EQ(reception.orders.size(), 1u);
    const ReceivedOrder& order = reception.orders[0];
    EXPECT_TRUE(order.complete);
    EXPECT_EQ(order.number, "000001");
    EXPECT_EQ(order.folder, "/orders/000001");
    EXPECT_EQ(order.reference1, "VPN-5");
    EXPECT_EQ(order.reference2, registration.seen[0].reference2);
    EXPECT_EQ(order.customer, "anna@example.com");
    EXPECT_EQ(order.title, "Summer prints");
    EXPECT_EQ(order.blockSize, 4096);
    EXPECT_EQ(order.fileCount, 2);
    EXPECT_FLOAT_EQ(order.taxRate, 7.5f);
    std::vector<ItemQuantity> items{{105, 2}, {109, 1}};
    EXPECT_EQ(order.items, (ItemList{{"a.jpg", items}, {"empty.jpg", items}}));
    ASSERT_EQ(order.files.size(), 2u);
    EXPECT_EQ(order.files[0].first, "a.jpg");
    EXPECT_EQ(order.files[0].second, randomBytes(10000, 1));
    EXPECT_EQ(order.files[1].first, "empty.jpg");
    EXPECT_TRUE(order.files[1].second.isEmpty());

    auto fileHeaderSize = [](const char* name) {
        FileHeader h;
        h.name = name;
        return QString::number(encodeFileHeader(h).size());
    };
    EXPECT_EQ(lines(run), (QStringList{"registered 000001 in /orders/000001",
                                       "ack header " + QString::number(order.headerResult),
                                       "ack ready 1", "ack file-header " + fileHeaderSize("a.jpg"),
                                       "ack block 4096", "ack block 4096", "ack block 1808",
                                       "ack file-header " + fileHeaderSize("empty.jpg")}));
    EXPECT_GT(order.headerResult, 0);
}

TEST_F(NetsimSender, GeneratedPicturesArePhotoSizedJpegs) {
    ReceptionDesk reception;
    StandIn server1(1, std::ref(reception));
    NetsimRun run = runNetsim({"send-order", "--generate", "2", "--number", "WEB-9", "--folder",
                               "/orders/WEB-9", "--json", "--port", server1.portText()});
    server1.finish();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    EXPECT_TRUE(json["ok"].toBool());
    QJsonObject first = json["orders"].toArray().at(0).toObject();
    EXPECT_EQ(first["number"].toString(), "WEB-9");
    EXPECT_GE(first["acks"].toArray().size(), 6);

    ASSERT_EQ(reception.orders.size(), 1u);
    const ReceivedOrder& order = reception.orders[0];
    EXPECT_EQ(order.number, "WEB-9");
    ASSERT_EQ(order.files.size(), 2u);
    EXPECT_EQ(order.files[0].first, "IMG_0001.jpg");
    EXPECT_EQ(order.items[0].items, (std::vector<ItemQuantity>{{101, 1}}));
    EXPECT_NE(order.files[0].second, order.files[1].second);
    for (const auto& [name, data] : order.files) {
        QImage image = QImage::fromData(data, "JPG");
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_GE(qint64(image.width()) * image.height(), 3'000'000) << name;
        // Grain and detail keep a real photo's size, far above a flat image.
        EXPECT_GT(data.size(), 500'000) << name;
    }
}

TEST_F(NetsimSender, ConcurrentOrdersAreRegisteredAndSentSeparately) {
    RegistrationDesk registration;
    ReceptionDesk reception;
    StandIn server2(3, std::ref(registration));
    StandIn server1(3, std::ref(reception));
    NetsimRun run =
        runNetsim({"send-order", "--pictures", pictures.path(), "--concurrent", "3", "--port",
                   server1.portText(), "--register-port", server2.portText()});
    server1.finish();
    server2.finish();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(reception.orders.size(), 3u);
    std::set<std::string> numbers, references;
    for (const ReceivedOrder& o : reception.orders) {
        EXPECT_TRUE(o.complete);
        numbers.insert(o.number);
        references.insert(o.reference1);
    }
    EXPECT_EQ(numbers.size(), 3u);
    EXPECT_EQ(references.size(), 3u);
    for (const char* tag : {"[1] ack ready 1", "[2] ack ready 1", "[3] ack ready 1"})
        EXPECT_TRUE(run.out.contains(tag)) << tag;
}

TEST_F(NetsimSender, UnexpectedAcknowledgementsFailTheRun) {
    ReceptionDesk refusing;
    refusing.folderAnswer = -1;
    StandIn server1(1, std::ref(refusing));
    NetsimRun run = runNetsim({"send-order", "--pictures", pictures.path(), "--number", "1",
                               "--folder", "/x/1", "--port", server1.portText()});
    server1.finish();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("ack ready -1 (expected 1)")) << run.out.toStdString();

    ReceptionDesk miscounting;
    miscounting.ackSkew = 5;
    StandIn server1b(1, std::ref(miscounting));
    run = runNetsim({"send-order", "--pictures", pictures.path(), "--number", "1", "--folder",
                     "/x/1", "--block-size", "4096", "--port", server1b.portText()});
    server1b.finish();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains("ack block 4101 (expected 4096)")) << run.out.toStdString();

    RegistrationDesk registration;
    registration.result = -3;
    StandIn server2(1, std::ref(registration));
    run =
        runNetsim({"send-order", "--pictures", pictures.path(), "--register-port",
                   server2.portText(), "--port", QString::number(testsupport::closedLocalPort())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("refused the registration with result -3"))
        << run.err.toStdString();
}

TEST_F(NetsimSender, MisbehavingOnPurpose) {
    ReceptionDesk cut;
    StandIn server1(1, std::ref(cut));
    NetsimRun run =
        runNetsim({"send-order", "--pictures", pictures.path(), "--number", "1", "--folder", "/x/1",
                   "--disconnect-after-files", "1", "--port", server1.portText()});
    server1.finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(cut.orders.size(), 1u);
    EXPECT_FALSE(cut.orders[0].complete);
    EXPECT_EQ(cut.orders[0].files.size(), 1u);

    // A file announced larger than it is: the shop waits for bytes that never
    // come, and the sender gives up after its timeout.
    ReceptionDesk waiting;
    StandIn server1b(1, std::ref(waiting));
    run =
        runNetsim({"send-order", "--pictures", pictures.path(), "--number", "1", "--folder", "/x/1",
                   "--file-size-lie", "100", "--timeout", "1500", "--port", server1b.portText()});
    server1b.finish();
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(waiting.orders.size(), 1u);
    EXPECT_TRUE(waiting.orders[0].files.empty());
    EXPECT_FALSE(waiting.orders[0].complete);
}
