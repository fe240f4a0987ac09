#include "ui/StartupDialogs.h"

namespace quillon {

std::optional<RegistrationDialogs::SetupOutcome> StartupDialogs::runShopSetup(const std::string&,
                                                                              const std::string&) {
    return std::nullopt;
}

std::optional<RegistrationDialogs::ConfirmationOutcome>
StartupDialogs::runConfirmation(const std::string&, const std::string&) {
    return std::nullopt;
}

} // namespace quillon
