// The customer's e-mail when an order completes: sent to a real SMTP server
// with the summary attached, or not at all, and the order completes either way.
#include "orders/OrderBook.h"
#include "support/SmtpTestServer.h"
#include "support/shop/ShopHarness.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(ShopNotification, TheCustomerGetsTheSummaryUnlessTurnedOffOrUnreachable) {
    ServedShop s;
    QTemporaryDir mailDir;
    SmtpTestServer smtp{mailDir.path()};
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorOutput().toStdString();
    s.h.settings.notification = true;
    s.h.settings.attach = true;
    s.h.settings.sender = "shop@example.com";
    s.h.settings.smtp = smtp.address().toStdString();
    s.go(false);
    auto order = [&](size_t stored) {
        NetsimRun run = s.h.sendOrders({"--generate", "1", "--email", "ann@example.com"});
        ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
        ASSERT_TRUE(processUntil([&] { return s.h.shop->orderBook().size() == stored; }));
    };
    auto notify = [&](bool on, const QString& server) {
        NotificationValues v = notificationOf(s.h.shop->settings());
        v.notification = on;
        v.smtp = server.toStdString();
        s.h.shop->applyNotification(v);
    };

    order(1);
    ASSERT_TRUE(smtp.waitForMessages(1));
    ReceivedMail mail = readReceivedMail(smtp.messageFiles().first());
    ASSERT_TRUE(mail.parsed);
    EXPECT_EQ(mail.envelopeFrom, "shop@example.com");
    EXPECT_EQ(mail.envelopeTo, QStringList{"ann@example.com"});
    EXPECT_EQ(mail.subject, "Order 000001");
    EXPECT_EQ(mail.body,
              "Order Number: 000001\n\nThank you. Your order 000001 is being processed.");
    ASSERT_EQ(mail.attachments.size(), 1);
    EXPECT_EQ(mail.attachments[0].fileName, "000001.pdf");
    EXPECT_EQ(mail.attachments[0].contentType, "application/pdf");

    // Off: nothing is sent, but the payment status is still asked.
    notify(false, smtp.address());
    order(2);
    EXPECT_TRUE(s.service.waitForLog("6/4 payment status of 000002"));
    // A mail would have been sent by a request that has ended by now.
    ASSERT_TRUE(processUntil([&] { return s.h.shop->requests().isIdle(); }));
    EXPECT_EQ(smtp.messageFiles().size(), 1);

    // An unreachable server is recorded after the order is stored.
    notify(true, QString("127.0.0.1:%1").arg(closedLocalPort()));
    order(3);
    EXPECT_EQ(s.h.shop->transfers().rows().at(2).paymentStatus, "Paid - PayPal");
    ASSERT_TRUE(processUntil([&] { return s.h.shop->requests().isIdle(); }));
    QByteArray errors = readFile(s.h.folder.filePath("emailerrors.xml"));
    EXPECT_TRUE(errors.startsWith("<?xml")) << errors.toStdString();
}
