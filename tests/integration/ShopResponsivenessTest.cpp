// A slow central service must never freeze the shop: registrations and
// completions wait for it on workers while the user-interface thread goes on.
#include "core/WorkingFolders.h"
#include "orders/OrderBook.h"
#include "support/SmtpTestServer.h"
#include "support/shop/ShopHarness.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

std::unique_ptr<QProcess> startNetsim(const QStringList& arguments) {
    auto p = std::make_unique<QProcess>();
    p->start(NetsimService::program(), arguments);
    EXPECT_TRUE(p->waitForStarted());
    return p;
}

} // namespace

TEST(ShopResponsiveness, ASlowServiceNeverHoldsUpTheUserInterfaceThread) {
    // Every answer comes 5 s late: a wait for one shows as that much
    // lateness, far beyond what a busy machine alone causes.
    constexpr qint64 kDelayMs = 5000;
    ServedShop s({"--fault", QString("*:delay=%1:0").arg(kDelayMs)});
    QTemporaryDir mailDir;
    SmtpTestServer smtp(mailDir.path());
    ASSERT_TRUE(smtp.isRunning());
    std::tie(s.h.settings.notification, s.h.settings.sender, s.h.settings.smtp) =
        std::tuple(true, "shop@example.com", smtp.address().toStdString());
    s.go(false);

    // The worst lateness of a 10-ms timer on this thread.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last - 10);
        last = now;
    });

    std::vector<std::unique_ptr<QProcess>> peers;
    for (const char* ref : {"A", "B", "C"})
        peers.push_back(
            startNetsim({"register", "--shop-number", "42", "--ref1", ref, "--ref2", "R", "--email",
                         "reg@example.com", "--port", s.h.port2(), "--timeout", "40000"}));
    for (const char* number : {"D1", "D2"})
        peers.push_back(
            startNetsim({"send-order", "--shop-number", "42", "--generate", "1", "--number", number,
                         "--folder", QString::fromStdString(s.h.rootpath() + "/" + number),
                         "--email", QString("%1@example.com").arg(number), "--port", s.h.port1()}));
    // Started once the peers are: starting a process holds this thread up.
    last = clock.elapsed();
    beat.start(10);

    // When each order was stored; the mails must come later.
    QMap<QString, qint64> storedAt;
    QObject::connect(&s.h.shop->orderBook(), &OrderBook::orderInserted, [&](int index) {
        s.h.shop->orderBook().withOrders([&](const OrderBook::Orders& orders) {
            storedAt[QString::fromStdString(orders[size_t(index)]->orderNumber)] =
                QDateTime::currentMSecsSinceEpoch();
        });
    });
    ASSERT_TRUE(processUntil(
        [&] {
            for (const auto& p : peers)
                if (p->state() != QProcess::NotRunning)
                    return false;
            return smtp.messageFiles().size() == 2;
        },
        std::chrono::seconds(90)));
    beat.stop();
    EXPECT_LT(worst, kDelayMs / 2) << "the user-interface thread was held up";
    std::printf("worst lateness %lld ms\n", static_cast<long long>(worst));
    for (const auto& p : peers)
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    // A mail sent before its order's payment status came would be the
    // service's delay early; the file system's clock may lag a little.
    for (const QString& file : smtp.messageFiles()) {
        const QString number = readReceivedMail(file).subject.section(' ', 1);
        ASSERT_TRUE(storedAt.contains(number)) << number.toStdString();
        EXPECT_LE(storedAt[number],
                  QFileInfo(file).lastModified().toMSecsSinceEpoch() + kDelayMs / 5);
    }

    // The service saw the checks in accept order; the numbers follow it.
    const QString log = s.service.log();
    QStringList checked;
    for (const auto& m : QRegularExpression("6/2 order check, (\\w)").globalMatch(log))
        checked << m.captured(1);
    ASSERT_EQ(checked.size(), 3) << log.toStdString();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(log.contains(QString("6/3 order number %1, %2")
                                     .arg(QString::number(i + 1).rightJustified(6, '0'))
                                     .arg(checked[i])))
            << log.toStdString();
}

TEST(ShopResponsiveness, ExitWaitsForAnOrderWhosePaymentStatusIsStillAsked) {
    ServedShop s({"--fault", "6/4:delay=1000"});
    s.go(false);
    // Exit as soon as the order has arrived, while its payment status is
    // asked (the only request here).
    QObject::connect(&s.h.shop->requests(), &RequestRunner::busyChanged, s.h.shop.get(),
                     [&](bool busy) {
                         if (busy)
                             s.h.shop->exit();
                     });
    std::optional<size_t> storedAtClose;
    QObject::connect(s.h.shop.get(), &Shop::closeRequested,
                     [&] { storedAtClose = s.h.shop->orderBook().size(); });
    auto sender = startNetsim({"send-order", "--shop-number", "42", "--generate", "1", "--number",
                               "E1", "--folder", QString::fromStdString(s.h.rootpath() + "/E1"),
                               "--port", s.h.port1()});
    ASSERT_TRUE(processUntil([&] { return storedAtClose.has_value(); }, std::chrono::seconds(20)));
    EXPECT_EQ(*storedAtClose, 1u) << "the logs were written before the order";
    EXPECT_TRUE(sender->state() == QProcess::NotRunning || sender->waitForFinished(20000));
    EXPECT_EQ(sender->exitCode(), 0);
    const QStringList logs = QDir(s.h.folder.filePath(kOrderLogFolder)).entryList(QDir::Files);
    ASSERT_EQ(logs.size(), 1);
    EXPECT_TRUE(readFile(s.h.folder.filePath(kOrderLogFolder, logs[0])).contains("E1"));
}

TEST(ShopResponsiveness, ExitAbandonsTheRequestsWhoseOutcomeNothingNeeds) {
    // The product list at start-up, a login and the history are answered a
    // minute late: Exit waits for none of them.
    ServedShop s({"--fault", "raw5:delay=60000", "--fault", "2/0:delay=60000", "--fault",
                  "10/2:delay=60000"});
    s.h.create(false);
    bool closed = false;
    QObject::connect(s.h.shop.get(), &Shop::closeRequested, [&] { closed = true; });
    s.h.shop->initialise();
    ASSERT_TRUE(s.h.shop->account().login(s.h.settings.shopid, "secret"));
    ASSERT_TRUE(s.h.shop->account().fetchHistory(90101, 90101));
    QElapsedTimer clock;
    clock.start();
    s.h.shop->exit();
    ASSERT_TRUE(processUntil([&] { return closed; }, std::chrono::seconds(5)));
    // Their workers end with their connections closed.
    s.h.shop.reset();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(s.h.prompter.messages().empty());
}
