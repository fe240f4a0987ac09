#include "status/ReadyMail.h"
#include "orders/Notification.h"
#include "orders/Settings.h"

#include "support/SmtpTestServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(ReadyMail, PlaceholdersAreFilledInOnePassAndTheMailIsSent) {
    const ReadyMailFields fields{"WEB-%SHOP%", "Foto Lind", 3, 12.5f};
    EXPECT_EQ(expandReadyPlaceholders("%ORDER%: %ITEMS% items, %AMOUNT% at %SHOP%. %ITEMS", fields),
              "WEB-%SHOP%: 3 items, 12.50 at Foto Lind. %ITEMS");

    QTemporaryDir mailDir, work;
    SmtpTestServer smtp{mailDir.path()};
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorOutput().toStdString();
    ASSERT_EQ(sendReadyMail("shop@velorin.test", "anna@example.test", smtp.address().toStdString(),
                            Settings{}.readysubject, "%ORDER% is ready at %SHOP%.",
                            {"000042", "Foto Lind", 2, 7.0f}, work.path().toStdString()),
              1);
    ASSERT_TRUE(smtp.waitForMessages(1));
    const ReceivedMail mail = readReceivedMail(smtp.messageFiles().first());
    EXPECT_EQ(mail.subject, "Your order 000042 is ready for pick-up");
    EXPECT_EQ(mail.body, "000042 is ready at Foto Lind.");
    EXPECT_EQ(mail.envelopeTo, QStringList{"anna@example.test"});

    EXPECT_EQ(sendReadyMail("shop@velorin.test", "anna@example.test",
                            "127.0.0.1:" + std::to_string(closedLocalPort()), "s", "b", fields,
                            work.path().toStdString()),
              0);
    EXPECT_TRUE(QFile::exists(work.filePath(kEmailErrorsFile)));
}
