#include "orders/Notification.h"
#include "orders/FilePaths.h"
#include "orders/Settings.h"

#include "support/SmtpTestServer.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

const std::string kNumber = "WEB-000042";
const Settings kDefaults;

class NotificationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_smtp.isRunning()) << m_smtp.errorOutput().toStdString();
        ASSERT_TRUE(writeFile(QString::fromStdString(m_summary), "%PDF-1.4 summary"));
    }

    int send(const std::string& subject, const std::string& body, bool attach,
             const std::string& smtp = {}) {
        return sendNotification("shop@velorin.test", "anna@example.test",
                                smtp.empty() ? m_smtp.address().toStdString() : smtp, subject,
                                kNumber, body, m_summary, attach, m_work.path().toStdString());
    }
    ReceivedMail lastMail() {
        return m_smtp.waitForMessages(++m_sent) ? readReceivedMail(m_smtp.messageFiles().last())
                                                : ReceivedMail{};
    }
    QString errorFile() const { return m_work.filePath(kEmailErrorsFile); }

    QTemporaryDir m_mailDir, m_work;
    SmtpTestServer m_smtp{m_mailDir.path()};
    std::string m_summary = joinPath(m_work.path().toStdString(), kNumber + ".pdf");
    int m_sent = 0;
};

} // namespace

TEST(Notification, PlaceholderIsReplacedEverywhereAndOnlyExactly) {
    EXPECT_EQ(expandOrderPlaceholder("%ORDER% is ready; ask for %ORDER% (not %order%).", "N1"),
              "N1 is ready; ask for N1 (not %order%).");
    EXPECT_EQ(expandOrderPlaceholder("%ORDER%%ORDER%%ORDER", "1"), "11%ORDER");
    EXPECT_EQ(expandOrderPlaceholder("%ORDER%", "x%ORDER%y"), "x%ORDER%y");
}

// The shop's own tests see the whole mail with the summary attached.
TEST_F(NotificationTest, SummaryIsAttachedOnlyWhenAskedAndPresent) {
    ASSERT_EQ(send("Your photos", "%ORDER% is ready.", false), 1);
    ReceivedMail mail = lastMail();
    EXPECT_EQ(std::tuple(mail.subject, mail.body, mail.attachments.size()),
              std::tuple("Your photos", "Order Number: WEB-000042\n\nWEB-000042 is ready.", 0));
    ASSERT_TRUE(QFile::remove(QString::fromStdString(m_summary)));
    ASSERT_EQ(send(kDefaults.subject, kDefaults.body, true), 1);
    mail = lastMail();
    EXPECT_EQ(std::tuple(mail.subject, mail.attachments.size(), QFile::exists(errorFile())),
              std::tuple("Order WEB-000042", 0, false));
}

TEST_F(NotificationTest, FailedSendsReplaceTheErrorReportAndReturnZero) {
    ASSERT_TRUE(writeFile(errorFile(), "old report"));
    EXPECT_EQ(send(kDefaults.subject, kDefaults.body, true,
                   "127.0.0.1:" + std::to_string(closedLocalPort())),
              0);
    EXPECT_TRUE(readFile(errorFile()).contains("<emailerrors>")); // the mailer tests its form

    // Empty settings are not checked beforehand: the send fails.
    std::string server = m_smtp.address().toStdString();
    for (const auto& [sender, recipient, smtp] :
         {std::tuple<std::string, std::string, std::string>{"", "anna@example.test", server},
          {"shop@velorin.test", "", server},
          {"shop@velorin.test", "anna@example.test", ""}}) {
        ASSERT_TRUE(QFile::remove(errorFile()));
        EXPECT_EQ(sendNotification(sender, recipient, smtp, "s", kNumber, "b", m_summary, false,
                                   m_work.path().toStdString()),
                  0);
        EXPECT_TRUE(QFile::exists(errorFile()));
    }
    EXPECT_TRUE(m_smtp.messageFiles().isEmpty());
}
