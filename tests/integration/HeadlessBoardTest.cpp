// A headless shop run from a browser: the board's password set from the
// command line, the board switched on in the profile, an order from the
// network seen through the board.
#include "support/NetsimService.h"
#include "support/TestSupport.h"
#include "support/board/BoardClient.h"
#include "support/shop/QuillonProcess.h"

#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

using namespace testsupport;

TEST(HeadlessBoard, ServesTheShopsOrdersWithThePasswordSetFromTheCommandLine) {
    NetsimService service;
    ASSERT_TRUE(service.start({"--shop", "42:secret:shop@example.com", "--seed"}));
    ShopFolder folder;
    const QString profile = folder.filePath("profile.ini");
    {
        QSettings p(profile, QSettings::IniFormat);
        p.setValue("status", 2);
        p.setValue("shopid", NetsimService::shopId(42));
        p.setValue("hostaddress", "127.0.0.1");
        p.setValue("rootpath", folder.filePath("Orders"));
        p.setValue("board", 1);
        p.setValue("boardaddress", "127.0.0.1");
    }
    QProcess setPassword;
    setPassword.start(QUILLON_BIN, {"--set-board-password", "--profile", profile});
    setPassword.write("at the counter\n");
    setPassword.closeWriteChannel();
    ASSERT_TRUE(setPassword.waitForFinished(30000));
    EXPECT_EQ(setPassword.exitCode(), 0) << setPassword.readAllStandardError().toStdString();
    const QByteArray stored = readFile(profile);
    EXPECT_TRUE(stored.contains("boardpassword=pbkdf2-sha256$")) << stored.constData();
    EXPECT_FALSE(stored.contains("at the counter"));

    QuillonProcess shop(folder.path(), profile);
    ASSERT_TRUE(shop.start({"--online", "--service-port", QString::number(service.servicePort()),
                            "--board-port", "0"}));
    ASSERT_TRUE(shop.waitForOutput("Counter board at http://127.0.0.1:"))
        << shop.output().toStdString();
    const int port = QRegularExpression("Counter board at http://127.0.0.1:(\\d+)/")
                         .match(shop.output())
                         .captured(1)
                         .toInt();
    BoardClient client(port);
    ASSERT_EQ(client.login("at the counter").status, 200);
    EXPECT_EQ(client.get("/api/orders").json().value("total").toInt(), 0);

    const NetsimRun sent =
        runNetsim({"send-order", "--shop-number", "42", "--generate", "2", "--email",
                   "ann@example.com", "--port", QString::number(shop.port1()), "--register-port",
                   QString::number(shop.port2())});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    HttpReply list;
    EXPECT_TRUE(processUntil([&] {
        list = client.get("/api/orders");
        return list.json().value("total").toInt() == 1;
    }));
    const QJsonObject order = list.json().value("orders").toArray().at(0).toObject();
    EXPECT_EQ(order.value("customer").toString(), "ann@example.com");
    const QString id = order.value("id").toString();
    EXPECT_EQ(client.get("/api/orders/" + id + "/pictures/1/thumbnail").status, 200);
    EXPECT_EQ(client.get("/api/orders/" + id + "/summary.pdf").body.left(5), "%PDF-");
    EXPECT_EQ(shop.terminate(), 0);
}
