#pragma once

#include <QCoreApplication>
#include <memory>

namespace quillon {

// The widget application of a run with a window, with the program icon and
// the desktop file's name. It does not quit when its last window closes:
// the splash closes before the main window shows, and the main window
// closes only when the shop has shut down.
std::unique_ptr<QCoreApplication> makeGuiApplication(int& argc, char** argv);

} // namespace quillon
