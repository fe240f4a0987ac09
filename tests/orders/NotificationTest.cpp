#include "orders/Notification.h"
#include "orders/OrderNumbering.h"
#include "orders/Settings.h"

#include "support/PythonServer.h"
#include "support/SmtpTestServer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

const std::string kNumber = "WEB-000042";
const Settings kDefaults;

class NotificationTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath("mail");
        QDir(m_dir.path()).mkpath("order");
        m_summary = joinPath(m_dir.filePath("order").toStdString(), kNumber + ".pdf");
        ASSERT_TRUE(writeFile(QString::fromStdString(m_summary), "%PDF-1.4 summary"));
        m_smtp = std::make_unique<SmtpTestServer>(m_dir.filePath("mail"));
        ASSERT_TRUE(m_smtp->isRunning()) << m_smtp->errorOutput().toStdString();
    }

    int send(const std::string& subject, const std::string& body, bool attach,
             const std::string& smtp = {}, const std::string& recipient = "anna@example.test") {
        return sendNotification("shop@velorin.test", recipient,
                                smtp.empty() ? m_smtp->address().toStdString() : smtp, subject,
                                kNumber, body, m_summary, attach, m_dir.path().toStdString());
    }

    ReceivedMail lastMail() {
        if (!m_smtp->waitForMessages(++m_expected))
            return {};
        return readReceivedMail(m_smtp->messageFiles().last());
    }

    QString errorFile() const { return m_dir.filePath(kEmailErrorsFile); }

    QTemporaryDir m_dir;
    std::string m_summary;
    std::unique_ptr<SmtpTestServer> m_smtp;
    int m_expected = 0;
};

} // namespace

TEST_F(NotificationTest, DefaultTemplatesGiveTheOrderNumberSubjectAndThreeLineBody) {
    ASSERT_EQ(send(kDefaults.subject, kDefaults.body, true), 1);
    ReceivedMail mail = lastMail();
    ASSERT_TRUE(mail.parsed);
    EXPECT_EQ(mail.envelopeFrom, "shop@velorin.test");
    EXPECT_EQ(mail.envelopeTo, QStringList{"anna@example.test"});
    EXPECT_EQ(mail.from, "shop@velorin.test");
    EXPECT_EQ(mail.to, "anna@example.test");
    EXPECT_EQ(mail.subject, "Order WEB-000042");
    EXPECT_EQ(mail.body, "Order Number: WEB-000042\n\n"
                         "Thank you. Your order WEB-000042 is being processed.");
    ASSERT_EQ(mail.attachments.size(), 1);
    EXPECT_EQ(mail.attachments[0].fileName, "WEB-000042.pdf");
    EXPECT_EQ(mail.attachments[0].contentType, "application/pdf");
    EXPECT_EQ(mail.attachments[0].size, 16);
    EXPECT_FALSE(QFile::exists(errorFile()));
}

TEST_F(NotificationTest, PlaceholderIsReplacedEverywhereAndOnlyExactly) {
    ASSERT_EQ(send("Your photos", "%ORDER% is ready; ask for %ORDER% (not %order%).", false), 1);
    ReceivedMail mail = lastMail();
    ASSERT_TRUE(mail.parsed);
    EXPECT_EQ(mail.subject, "Your photos");
    EXPECT_EQ(mail.body, "Order Number: WEB-000042\n\n"
                         "WEB-000042 is ready; ask for WEB-000042 (not %order%).");

    EXPECT_EQ(expandOrderPlaceholder("%ORDER%%ORDER%", "1"), "11");
    EXPECT_EQ(expandOrderPlaceholder("a%ORDER", "1"), "a%ORDER");
    EXPECT_EQ(expandOrderPlaceholder("%ORDER%", "x%ORDER%y"), "x%ORDER%y");
    EXPECT_EQ(expandOrderPlaceholder("", "1"), "");
}

TEST_F(NotificationTest, SummaryIsAttachedOnlyWhenAskedAndPresent) {
    ASSERT_EQ(send(kDefaults.subject, kDefaults.body, false), 1);
    ReceivedMail mail = lastMail();
    ASSERT_TRUE(mail.parsed);
    EXPECT_TRUE(mail.attachments.isEmpty());

    ASSERT_TRUE(QFile::remove(QString::fromStdString(m_summary)));
    ASSERT_EQ(send(kDefaults.subject, kDefaults.body, true), 1);
    mail = lastMail();
    ASSERT_TRUE(mail.parsed);
    EXPECT_TRUE(mail.attachments.isEmpty());
    EXPECT_EQ(mail.subject, "Order WEB-000042");
}

TEST_F(NotificationTest, FailedSendsReplaceTheErrorReportAndReturnZero) {
    ASSERT_TRUE(writeFile(errorFile(), "old report"));
    EXPECT_EQ(send(kDefaults.subject, kDefaults.body, true,
                   "127.0.0.1:" + std::to_string(closedLocalPort())),
              0);
    QByteArray report = readFile(errorFile());
    EXPECT_FALSE(report.contains("old report"));
    QXmlStreamReader xml(report);
    QString error;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("error"))
            error = xml.readElementText();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_FALSE(error.isEmpty());

    // Empty settings are not checked beforehand: the send fails.
    ASSERT_TRUE(QFile::remove(errorFile()));
    EXPECT_EQ(send(kDefaults.subject, kDefaults.body, false, {}, ""), 0);
    EXPECT_TRUE(QFile::exists(errorFile()));
    EXPECT_EQ(sendNotification("", "anna@example.test", m_smtp->address().toStdString(), "s",
                               kNumber, "b", m_summary, false, m_dir.path().toStdString()),
              0);
    EXPECT_EQ(sendNotification("shop@velorin.test", "anna@example.test", "", "s", kNumber, "b",
                               m_summary, false, m_dir.path().toStdString()),
              0);
    EXPECT_TRUE(m_smtp->messageFiles().isEmpty());
}
