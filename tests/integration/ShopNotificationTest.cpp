// The customer's e-mail when an order completes: sent to a real SMTP server
// with the summary attached, or not at all, and the order completes either way.
#include "orders/OrderBook.h"
#include "support/SmtpTestServer.h"
#include "support/shop/ShopHarness.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

struct Mailing : ServedShop {
    QTemporaryDir mailDir;
    SmtpTestServer smtp{mailDir.path()};

    explicit Mailing(bool notification, bool attach, const QString& smtpSetting = {}) {
        EXPECT_TRUE(smtp.isRunning()) << smtp.errorOutput().toStdString();
        h.settings.notification = notification;
        h.settings.attach = attach;
        h.settings.sender = "shop@example.com";
        h.settings.smtp = (smtpSetting.isEmpty() ? smtp.address() : smtpSetting).toStdString();
        go(false);
    }
    void sendOrder() {
        NetsimRun run = runNetsimWhileServing({"send-order", "--shop-number", "42", "--generate",
                                               "1", "--email", "ann@example.com", "--port",
                                               h.port1(), "--register-port", h.port2()});
        ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
        ASSERT_TRUE(processUntil([&] { return h.shop->orderBook().size() == 1; }));
    }
};

} // namespace

TEST(ShopNotification, TheCustomerGetsTheOrderNumberAndTheSummary) {
    Mailing m(true, true);
    m.sendOrder();
    ASSERT_TRUE(m.smtp.waitForMessages(1));
    ReceivedMail mail = readReceivedMail(m.smtp.messageFiles().first());
    ASSERT_TRUE(mail.parsed);
    EXPECT_EQ(mail.envelopeFrom, "shop@example.com");
    EXPECT_EQ(mail.envelopeTo, QStringList{"ann@example.com"});
    EXPECT_EQ(mail.subject, "Order 000001");
    EXPECT_EQ(mail.body,
              "Order Number: 000001\n\nThank you. Your order 000001 is being processed.");
    ASSERT_EQ(mail.attachments.size(), 1);
    EXPECT_EQ(mail.attachments[0].fileName, "000001.pdf");
    EXPECT_EQ(mail.attachments[0].contentType, "application/pdf");
    EXPECT_TRUE(m.service.waitForLog("6/4"));
}

TEST(ShopNotification, OffSendsNothingButThePaymentStatusIsAsked) {
    Mailing m(false, true);
    m.sendOrder();
    EXPECT_TRUE(m.service.waitForLog("6/4"));
    EXPECT_FALSE(m.smtp.waitForMessages(1, std::chrono::milliseconds(500)));
}

TEST(ShopNotification, AnUnreachableServerIsRecordedAndTheOrderCompletes) {
    Mailing m(true, false, QString("127.0.0.1:%1").arg(closedLocalPort()));
    m.sendOrder();
    EXPECT_EQ(m.h.shop->transfers().rows().at(0).paymentStatus, "Paid - PayPal");
    // The mail goes after the order is stored.
    ASSERT_TRUE(processUntil([&] { return m.h.shop->requests().isIdle(); }));
    QByteArray errors = readFile(m.h.folder.filePath("emailerrors.xml"));
    EXPECT_TRUE(errors.startsWith("<?xml")) << errors.toStdString();
}
