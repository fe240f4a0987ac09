#include "ui/shell/DesktopAttention.h"

#include "ui/shell/DesktopNotifications.h"

#include <QApplication>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace quillon {

DesktopAttention::DesktopAttention(QWidget* window, std::optional<QDBusConnection> bus)
    : m_window(window), m_bus(std::move(bus)) {}

void DesktopAttention::ask(const NewOrderNotice& notice) {
    if (m_window)
        QApplication::alert(m_window);
    if (!m_bus)
        m_bus = QDBusConnection::sessionBus();
    if (!m_bus->isConnected())
        return;
    if (!m_notifications) {
        m_notifications = new DesktopNotifications(*m_bus, this);
        connect(m_notifications, &DesktopNotifications::ActionInvoked, this,
                &DesktopAttention::actionInvoked);
    }
    // Asynchronous: a slow or missing service never holds the window up.
    const QDBusPendingCall call = m_notifications->asyncCall(
        QStringLiteral("Notify"), QStringLiteral("Quillon"), uint(0), QStringLiteral("quillon"),
        QStringLiteral("New order %1").arg(notice.orderNumber),
        QStringLiteral("%1, total %2").arg(notice.customer, notice.total),
        QStringList{QStringLiteral("default"), QStringLiteral("Show Quillon")}, QVariantMap{},
        int(-1));
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid()) {
            if (m_shown.size() > 256)
                m_shown.clear();
            m_shown.insert(reply.value());
        }
        w->deleteLater();
    });
}

void DesktopAttention::actionInvoked(uint id, const QString&) {
    if (!m_shown.remove(id) || !m_window)
        return;
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace quillon
