#pragma once

#include <QDBusAbstractInterface>

namespace quillon {

// The desktop's notification service (org.freedesktop.Notifications) on the
// session bus; its ActionInvoked signal arrives as a Qt signal.
class DesktopNotifications : public QDBusAbstractInterface {
    Q_OBJECT
public:
    explicit DesktopNotifications(const QDBusConnection& bus, QObject* parent = nullptr);

signals:
    void ActionInvoked(uint id, const QString& action);
};

} // namespace quillon
