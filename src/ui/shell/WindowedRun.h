#pragma once

#include "core/ShopRun.h"
#include "ui/shell/WindowedShop.h"

#include <functional>

namespace quillon {

class Prompter;
class SettingsStore;

struct WindowedRunOptions {
    ShopRunOptions run;
    // Put the system on-line once the shop has started.
    bool online = false;
    WindowOptions window;
    // Called with the shop's window and the prompter of its messages before
    // the shop starts, to connect to it.
    std::function<void(WindowedShop&, Prompter&)> attach;
};

// Quillon with its window: start-up, where a shop that is not set up yet
// goes through the "Shop setup" dialogs, then the splash and the main
// window until the shop has shut down, then shut-down. Runs the event loop
// of the widget application that must exist; gives the exit code.
int runWindowed(SettingsStore& store, const WindowedRunOptions& options);

} // namespace quillon
