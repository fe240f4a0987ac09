#pragma once

#include "core/Shop.h"

#include <functional>
#include <optional>

namespace quillon {

class Clock;
class Prompter;
class RegistrationDialogs;
class SettingsStore;

// What a run of the shop takes from its command line.
struct ShopRunOptions {
    // Ports and listen address; start-up gives the working directory.
    ShopConfig shop;
    // The central service's port, when not the usual one.
    std::optional<int> servicePort;
    // The counter board's port, when not the profile's.
    std::optional<int> boardPort;
    // The shop's clock, when not the computer's.
    const Clock* clock = nullptr;
};

// Start-up (with the registration dialogs, when there are any), the shop
// served by `serve`, which runs the event loop and gives its result, and
// shut-down. The result is the process's exit code.
int runShop(SettingsStore& store, Prompter& prompter, RegistrationDialogs* dialogs,
            const ShopRunOptions& options, const std::function<int(Shop&)>& serve);

} // namespace quillon
