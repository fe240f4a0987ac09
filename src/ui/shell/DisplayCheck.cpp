#include "ui/shell/DisplayCheck.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace quillon {

QString missingDisplay(const QProcessEnvironment& env) {
    if (!env.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    const QString x = env.value(QStringLiteral("DISPLAY"));
    const QString wayland = env.value(QStringLiteral("WAYLAND_DISPLAY"));
    if (x.isEmpty() && wayland.isEmpty())
        return QStringLiteral("no display (DISPLAY and WAYLAND_DISPLAY are not set)");
    // A local X display ":N" has its socket in /tmp/.X11-unix.
    static const QRegularExpression local(QStringLiteral("^:(\\d+)(\\.\\d+)?$"));
    const auto m = local.match(x);
    if (wayland.isEmpty() && m.hasMatch() &&
        !QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + m.captured(1)))
        return QStringLiteral("no X server on display %1").arg(x);
    return {};
}

} // namespace quillon
