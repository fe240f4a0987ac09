// A headless shop run from a browser: the board's password set from the
// command line, the board switched on in the profile, an order from the
// network seen through the board and made ready for pick-up there (its
// customer told by e-mail). The order's files and the station are the board's
// test, that the status is kept the browser's.
#include "support/SmtpTestServer.h"
#include "support/board/BoardClient.h"
#include "support/shop/HeadlessShop.h"

#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testsupport;

TEST(HeadlessBoard, ServesTheShopsOrdersAndSetsTheirStatuses) {
    QTemporaryDir mailDir;
    SmtpTestServer smtp{mailDir.path()};
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorOutput().toStdString();
    HeadlessShop s(true);
    {
        QSettings profile(s.profile, QSettings::IniFormat);
        for (auto [key, value] : {std::pair<const char*, QVariant>{"readymail", 1},
                                  {"smtp", smtp.address()},
                                  {"sender", "shop@example.com"}})
            profile.setValue(key, value);
    }
    QProcess setPassword;
    setPassword.start(QUILLON_BIN, {"--set-board-password", "--profile", s.profile});
    setPassword.write("at the counter\n");
    setPassword.closeWriteChannel();
    ASSERT_TRUE(setPassword.waitForFinished(30000));
    EXPECT_EQ(setPassword.exitCode(), 0) << setPassword.readAllStandardError().toStdString();
    const QByteArray stored = readFile(s.profile);
    EXPECT_TRUE(stored.contains("boardpassword=pbkdf2-sha256$") &&
                !stored.contains("at the counter"))
        << stored.constData();

    ASSERT_TRUE(s.startBoard()) << s.shop.output().toStdString();
    BoardClient client(s.port);
    ASSERT_EQ(client.login("at the counter").status, 200);
    EXPECT_EQ(client.get("/api/orders").json().value("total").toInt(), 0);

    const NetsimRun sent = runNetsim(s.sendOrder(2));
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    HttpReply list;
    EXPECT_TRUE(processUntil([&] {
        list = client.get("/api/orders");
        return list.json().value("total").toInt() == 1;
    }));
    const QJsonObject order = list.json().value("orders").toArray().at(0).toObject();
    EXPECT_EQ(order.value("customer").toString(), "ann@example.com");
    const QString id = order.value("id").toString();

    const HttpReply ready = client.post("/api/orders/" + id + "/status", R"({"status":"ready"})");
    ASSERT_EQ(ready.status, 200) << ready.body.constData();
    ASSERT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(readReceivedMail(smtp.messageFiles().first()).envelopeTo,
              QStringList{"ann@example.com"});
    ASSERT_TRUE(s.shop.waitForOutput("was told by e-mail that it is ready for pick-up"));
    // The told mark is stored after that line.
    QJsonObject change;
    EXPECT_TRUE(processUntil([&] {
        change = client.get("/api/orders/" + id).json().value("history")[0].toObject();
        return change.value("customerTold") == QJsonValue(true);
    }));
    EXPECT_EQ(s.shop.terminate(), 0);
}
