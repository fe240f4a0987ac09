#include "ui/MenuCommands.h"

#include "core/Shop.h"
#include "orders/PluginHost.h"
#include "ui/MainMenus.h"

namespace quillon {

void MenuCommands::run(int menu, int item) {
    switch (menuCommandAt(menu, item, m_shop.plugins().count() > 0)) {
    case MenuCommand::LoginOrLogout:
        m_shop.isLoggedIn() ? logout() : login();
        break;
    case MenuCommand::ChangePassword:
        changePassword();
        break;
    case MenuCommand::ShopInformation:
        shopInformation();
        break;
    case MenuCommand::ProductInformation:
        productInformation();
        break;
    case MenuCommand::TransactionHistory:
        transactionHistory();
        break;
    case MenuCommand::Configuration:
        configuration();
        break;
    case MenuCommand::EmailNotification:
        emailNotification();
        break;
    case MenuCommand::TrustedCustomers:
        trustedCustomers();
        break;
    case MenuCommand::PluginParameters:
        pluginParameters();
        break;
    case MenuCommand::Exit:
        m_shop.exit();
        break;
    case MenuCommand::OnlineOrOffline:
        m_shop.isOffline() ? m_shop.goOnline() : m_shop.goOffline();
        break;
    case MenuCommand::LiveChat:
        liveChat();
        break;
    case MenuCommand::FontSize:
        m_shop.toggleFontSize();
        break;
    case MenuCommand::ShowLast:
        m_shop.toggleShowLast();
        break;
    case MenuCommand::None:
        break;
    }
}

// The dialogs behind these commands are not built yet.
void MenuCommands::login() {}
void MenuCommands::logout() {}
void MenuCommands::changePassword() {}
void MenuCommands::shopInformation() {}
void MenuCommands::productInformation() {}
void MenuCommands::transactionHistory() {}
void MenuCommands::configuration() {}
void MenuCommands::emailNotification() {}
void MenuCommands::trustedCustomers() {}
void MenuCommands::pluginParameters() {}
void MenuCommands::liveChat() {}

} // namespace quillon
