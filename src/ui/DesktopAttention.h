#pragma once

#include "ui/Attention.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QWidget>

namespace quillon {

class DesktopNotifications;

// The taskbar highlight of the window and, where the desktop has a
// notification service, a notification naming the order; clicking it
// brings the window up. Without a session bus only the highlight remains.
class DesktopAttention : public QObject, public Attention {
    Q_OBJECT
public:
    explicit DesktopAttention(QWidget* window);
    void ask(const NewOrderNotice& notice) override;

private:
    void actionInvoked(uint id, const QString& action);

    QPointer<QWidget> m_window;
    DesktopNotifications* m_notifications = nullptr;
    // The notifications shown by this run, whose click raises the window.
    QSet<uint> m_shown;
};

} // namespace quillon
