// The desktop notification of a new order on a private session bus, with a
// stand-in for the desktop's notification service: what it is told, and
// that clicking the notification brings the window up.
#include "ui/shell/DesktopAttention.h"
#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// Answers Notify with id 7 and keeps the call's arguments.
class FakeNotifications : public QDBusVirtualObject {
public:
    QVariantList notified;
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.member() != QLatin1String("Notify"))
            return false;
        notified = message.arguments();
        bus.send(message.createReply(QVariant::fromValue(uint(7))));
        return true;
    }
};

// A dbus-daemon of the case's own, and the names of the connections made to
// it. They go with the case, so a repeated run starts afresh.
struct PrivateBus {
    QProcess daemon;
    QString address;
    ~PrivateBus() {
        for (const char* name : {"shop", "notifications"})
            QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished(5000);
    }
};

} // namespace

TEST(DesktopAttention, NotifiesTheDesktopAndAClickRaisesTheWindow) {
    const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
    if (daemon.isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    PrivateBus bus;
    bus.daemon.start(daemon, {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(waitUntil([&] {
        bus.daemon.waitForReadyRead(20);
        return bus.daemon.peek(1024).contains('\n');
    }));
    bus.address = QString::fromUtf8(bus.daemon.readLine()).trimmed();

    QDBusConnection service = QDBusConnection::connectToBus(bus.address, "notifications");
    FakeNotifications fake;
    ASSERT_TRUE(service.registerService(kInterface));
    ASSERT_TRUE(service.registerVirtualObject(kPath, &fake));

    QWidget window;
    window.show();
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));

    DesktopAttention attention(&window, QDBusConnection::connectToBus(bus.address, "shop"));
    attention.ask({"000001", "ann@example.com", "12.50"});
    ASSERT_TRUE(processUntil([&] { return !fake.notified.isEmpty(); }));
    ASSERT_EQ(fake.notified.size(), 8);
    EXPECT_EQ(fake.notified[0].toString(), "Quillon");
    EXPECT_EQ(fake.notified[3].toString(), "New order 000001");
    EXPECT_EQ(fake.notified[4].toString(), "ann@example.com, total 12.50");
    EXPECT_TRUE(fake.notified[5].toStringList().contains("default"));

    // A click on it brings the window up. The bus delivers the click after
    // the reply that told the window the notification's id.
    QDBusMessage click = QDBusMessage::createSignal(kPath, kInterface, "ActionInvoked");
    click << 7u << QStringLiteral("default");
    service.send(click);
    EXPECT_TRUE(processUntil([&] { return window.isActiveWindow(); }));
}
