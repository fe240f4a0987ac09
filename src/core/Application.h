#pragma once

#include "orders/Settings.h"

#include <optional>
#include <string>

namespace quillon {

class Prompter;
class SettingsStore;

// The two registration dialogs that start-up opens for a shop that is not
// set up yet. The window fills this in; a headless run has none.
class RegistrationDialogs {
public:
    struct SetupOutcome {
        int status = 0; // 1 when the service accepted the shop's details
        std::string email;
    };
    struct ConfirmationOutcome {
        int status = 1; // 2 when the service confirmed the shop ID
        std::string shopid;
    };
    virtual ~RegistrationDialogs() = default;
    // Empty when the dialog was cancelled.
    virtual std::optional<SetupOutcome> runShopSetup(const std::string& host,
                                                     const std::string& email) = 0;
    virtual std::optional<ConfirmationOutcome> runConfirmation(const std::string& host,
                                                               const std::string& email) = 0;
};

// The application object: the settings record for the whole run, the
// working directory and the central service host; start-up up to the
// point where the shop's window (or headless loop) runs, and the end.
class Application {
public:
    Application(SettingsStore& store, Prompter& prompter);

    // Working directory, settings, start-up information, registration
    // steps. False when the process must end; exitCode() then says how.
    bool startUp(RegistrationDialogs* dialogs);
    int exitCode() const { return m_exitCode; }

    // After the shop has closed: the settings go back to the profile.
    void shutDown();

    Settings& settings() { return m_settings; }
    const std::string& workingDirectory() const { return m_workingDirectory; }
    SettingsStore& store() { return m_store; }

private:
    SettingsStore& m_store;
    Prompter& m_prompter;
    Settings m_settings;
    std::string m_workingDirectory;
    int m_exitCode = 0;
};

} // namespace quillon
