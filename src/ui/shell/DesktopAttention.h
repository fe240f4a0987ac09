#pragma once

#include "ui/shell/Attention.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <optional>

namespace quillon {

class DesktopNotifications;

// The taskbar highlight of the window and, where the desktop has a
// notification service, a notification naming the order; clicking it
// brings the window up. Without a session bus only the highlight remains.
class DesktopAttention : public QObject, public Attention {
    Q_OBJECT
public:
    // The notification service is asked on `bus`; without it, on the session
    // bus, connected when the first order comes (a test passes a private
    // bus: the session bus connection is made once per process).
    explicit DesktopAttention(QWidget* window, std::optional<QDBusConnection> bus = {});
    void ask(const NewOrderNotice& notice) override;

private:
    void actionInvoked(uint id, const QString& action);

    QPointer<QWidget> m_window;
    std::optional<QDBusConnection> m_bus;
    DesktopNotifications* m_notifications = nullptr;
    // The notifications shown by this run, whose click raises the window.
    QSet<uint> m_shown;
};

} // namespace quillon
