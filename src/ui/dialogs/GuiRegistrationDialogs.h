#pragma once

#include "core/Application.h"

namespace quillon {

class Prompter;

// The start-up registration steps of a new shop as dialogs: "Shop setup",
// then "Shop setup confirmation", each talking to the central service on
// `servicePort` of the host start-up gives.
class GuiRegistrationDialogs : public RegistrationDialogs {
public:
    GuiRegistrationDialogs(int servicePort, Prompter& prompter)
        : m_servicePort(servicePort), m_prompter(prompter) {}

    std::optional<SetupOutcome> runShopSetup(const std::string& host,
                                             const std::string& email) override;
    std::optional<ConfirmationOutcome> runConfirmation(const std::string& host,
                                                       const std::string& email) override;

private:
    int m_servicePort;
    Prompter& m_prompter;
};

} // namespace quillon
