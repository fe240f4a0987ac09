#pragma once

#include "core/Application.h"

namespace quillon {

// The two shop-setup dialogs that start-up opens for a shop that is not set
// up yet. They are not built yet: both answer as if cancelled, so such a
// shop ends without a window, its status kept.
class StartupDialogs : public RegistrationDialogs {
public:
    std::optional<SetupOutcome> runShopSetup(const std::string& host,
                                             const std::string& email) override;
    std::optional<ConfirmationOutcome> runConfirmation(const std::string& host,
                                                       const std::string& email) override;
};

} // namespace quillon
