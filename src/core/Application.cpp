#include "core/Application.h"

#include "core/SettingsStore.h"
#include "core/StartupInfo.h"
#include "netlib/Socket.h"
#include "orders/FilePaths.h"
#include "orders/QtText.h"
#include "protocol/Prompter.h"

#include <QDir>

namespace quillon {

Application::Application(SettingsStore& store, Prompter& prompter)
    : m_store(store), m_prompter(prompter) {}

bool Application::startUp(RegistrationDialogs* dialogs) {
    // A folder whose name 8-bit texts cannot spell is refused here, before
    // any data file is looked for under a name it does not have.
    m_workingDirectory = fromQString(QDir::currentPath());
    if (m_workingDirectory.empty() || !QDir(qtPath(m_workingDirectory)).exists()) {
        m_prompter.showMessage("Quillon error: Unable to get current work directory.");
        m_exitCode = 1;
        return false;
    }

    m_settings = m_store.load(defaultRootPath(m_workingDirectory));
    std::string defaultHost = "localhost";
    checkForUpdate(startupAccounts(), defaultHost);
    m_settings.hostaddress = m_store.loadHostAddress(defaultHost);

    if (m_settings.status == 0 && dialogs) {
        if (auto setup = dialogs->runShopSetup(m_settings.hostaddress, m_settings.email)) {
            m_settings.email = setup->email;
            m_settings.status = setup->status;
            m_store.writeEmail(m_settings.email);
        }
    }
    if (m_settings.status == 1 && dialogs) {
        if (auto confirmed = dialogs->runConfirmation(m_settings.hostaddress, m_settings.email)) {
            m_settings.status = confirmed->status;
            // The ID goes to the profile with the status: a run that ends
            // before its shut-down must not leave a confirmed shop without it.
            if (confirmed->status == 2) {
                m_settings.shopid = confirmed->shopid;
                m_store.writeShopId(m_settings.shopid);
            }
        }
    }
    m_store.writeStatus(m_settings.status);

    if (m_settings.status != 2) {
        if (!dialogs)
            m_prompter.showMessage(
                "This shop is not set up with the Velorin Photo Network yet (status " +
                std::to_string(m_settings.status) +
                "); the shop setup needs a window, so a headless shop cannot start.");
        // A cancelled dialog is an ordinary end; a run that cannot ask is not.
        m_exitCode = dialogs ? 0 : 2;
        return false;
    }
    return true;
}

void Application::shutDown() {
    m_store.save(m_settings);
}

} // namespace quillon
