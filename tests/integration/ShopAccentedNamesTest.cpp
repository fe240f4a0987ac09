// A European shop: an accented prefix, root folder and picture name reach
// the disk as one UTF-8 name each, which the thumbnail, the summary, the
// customer's mail, the order log and the purge all find (that the profile's
// Unicode texts survive a run is the settings store's test). The mail goes to
// a real SMTP server with the summary attached.
#include "core/WorkingFolders.h"
#include "orders/OrderBook.h"
#include "support/PythonServer.h"
#include "support/SmtpTestServer.h"
#include "support/SummaryFixtures.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(ShopAccentedNames, OneNameFromTheWireToTheDiskAndBack) {
    ServedShop s;
    QTemporaryDir mailDir;
    SmtpTestServer smtp{mailDir.path()};
    ASSERT_TRUE(smtp.isRunning()) << smtp.errorOutput().toStdString();
    const QString root = s.h.folder.filePath(kOrdersFolder, QString::fromUtf8("jürgen"));
    ASSERT_TRUE(QDir().mkpath(root));
    const QString subject = QString::fromUtf8("Bestellung %ORDER% – 10 €");
    const QString profile = s.h.profileDir.filePath("accented.ini");
    {
        QSettings p(profile, QSettings::IniFormat);
        for (const auto& [key, value] : std::initializer_list<std::pair<const char*, QVariant>>{
                 {"status", 2},
                 {"shopid", NetsimService::shopId(42)},
                 {"prefix", QString::fromUtf8("Müller-")},
                 {"rootpath", root},
                 {"subject", subject},
                 {"notification", 1},
                 {"attach", 1},
                 {"sender", "shop@example.com"},
                 {"smtp", smtp.address()},
                 {"purge", 1}})
            p.setValue(key, value);
    }
    s.h.store = std::make_unique<SettingsStore>(profile);
    s.h.settings = s.h.store->load({});
    s.h.useService(s.service);
    s.go(false);
    QStringList thumbnails;
    QObject::connect(&s.h.shop->intake(), &OrderIntake::thumbnailMade,
                     [&](const QString& path, const QImage& image) {
                         if (!image.isNull())
                             thumbnails << path;
                     });

    QTemporaryDir pictures;
    ASSERT_TRUE(writePicture(pictures.filePath(QString::fromUtf8("Grüße.jpg")), 64, 48));
    const QByteArray jpeg = readFile(pictures.filePath(QString::fromUtf8("Grüße.jpg")));
    NetsimRun run = s.h.sendOrders({"--pictures", pictures.path()});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    ASSERT_TRUE(processUntil([&] { return s.h.shop->orderBook().size() == 1; }));

    const QString folder = root + QString::fromUtf8("/Müller-000001");
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QString::fromUtf8("Müller-000001")});
    EXPECT_EQ(
        QDir(folder).entryList(QDir::Files),
        (QStringList{QString::fromUtf8("Grüße.jpg"), QString::fromUtf8("Müller-000001.pdf")}));
    EXPECT_EQ(readFile(folder + QString::fromUtf8("/Grüße.jpg")), jpeg);
    s.h.shop->orderBook().withOrders([](const OrderBook::Orders& orders) {
        ASSERT_EQ(orders.size(), 1u);
        ASSERT_EQ(orders[0]->pictures.size(), 1u);
        EXPECT_EQ(orders[0]->pictures[0].fileName, "Gr\xFC\xDF"
                                                   "e.jpg");
    });
    EXPECT_EQ(thumbnails, QStringList{folder + QString::fromUtf8("/Grüße.jpg")});
    const QString summary = pdfPageTexts(folder + QString::fromUtf8("/Müller-000001.pdf")).value(0);
    EXPECT_TRUE(summary.contains(QString::fromUtf8("Grüße.jpg"))) << summary.toStdString();

    ASSERT_TRUE(smtp.waitForMessages(1));
    ReceivedMail mail = readReceivedMail(smtp.messageFiles().first());
    EXPECT_EQ(mail.subject, QString::fromUtf8("Bestellung Müller-000001 – 10 €"));
    ASSERT_EQ(mail.attachments.size(), 1);
    // The summary was found under its accented name; the header names it in ASCII.
    EXPECT_EQ(std::tie(mail.attachments[0].fileName, mail.attachments[0].contentType),
              std::tuple("M_ller-000001.pdf", "application/pdf"));

    // A week and a day later the purge logs the order and removes its folder.
    s.h.clock.advance(8 * 86400);
    s.h.shop->orderBookFiles().purge();
    ASSERT_TRUE(processUntil([&] { return !s.h.shop->orderBookFiles().isWriting(); }));
    EXPECT_FALSE(QDir(folder).exists());
    const QString log =
        QString::fromUtf8(readFile(s.h.folder.filePath(kOrderLogFolder, "ORDERLOG000000.XML")));
    EXPECT_TRUE(log.contains(QString::fromUtf8("<filename>Grüße.jpg</filename>")))
        << log.toStdString();
}
