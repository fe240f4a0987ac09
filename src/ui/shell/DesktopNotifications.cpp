#include "ui/shell/DesktopNotifications.h"

namespace quillon {

DesktopNotifications::DesktopNotifications(const QDBusConnection& bus, QObject* parent)
    : QDBusAbstractInterface(QStringLiteral("org.freedesktop.Notifications"),
                             QStringLiteral("/org/freedesktop/Notifications"),
                             "org.freedesktop.Notifications", bus, parent) {}

} // namespace quillon
