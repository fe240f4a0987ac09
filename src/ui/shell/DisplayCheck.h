#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace quillon {

// Why no window can be opened in `env`, or empty when one can: a display
// named by DISPLAY or WAYLAND_DISPLAY, or a Qt platform chosen by
// QT_QPA_PLATFORM. Asked before the widget application is made, which
// would otherwise abort with the platform's own message.
QString missingDisplay(const QProcessEnvironment& env);

} // namespace quillon
