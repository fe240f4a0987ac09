#include "ui/menus/MenuCommands.h"

#include "core/Shop.h"
#include "orders/PluginHost.h"
#include "ui/menus/AccountCommands.h"
#include "ui/menus/HistoryChatCommands.h"
#include "ui/menus/MainMenus.h"
#include "ui/menus/SettingsCommands.h"

namespace quillon {

void runMenuCommand(Shop& shop, Prompter& prompter, QWidget* window, int menu, int item) {
    switch (menuCommandAt(menu, item, shop.plugins().count() > 0)) {
    case MenuCommand::LoginOrLogout:
        loginOrLogout(shop, prompter, window);
        break;
    case MenuCommand::ChangePassword:
        openChangePassword(shop.account(), prompter, window);
        break;
    case MenuCommand::ShopInformation:
        openShopInformation(shop.account(), prompter, window);
        break;
    case MenuCommand::ProductInformation:
        openProductInformation(shop, prompter, window);
        break;
    case MenuCommand::TransactionHistory:
        openTransactionHistory(shop, prompter, window);
        break;
    case MenuCommand::Configuration:
        openConfiguration(shop, prompter, window);
        break;
    case MenuCommand::EmailNotification:
        openEmailNotification(shop, prompter, window);
        break;
    case MenuCommand::TrustedCustomers:
        openTrustedCustomers(shop, prompter, window);
        break;
    case MenuCommand::PluginParameters:
        openPluginParameters(shop, prompter, window);
        break;
    case MenuCommand::Exit:
        shop.exit();
        break;
    case MenuCommand::OnlineOrOffline:
        shop.servers().isOffline() ? shop.goOnline() : shop.goOffline();
        break;
    case MenuCommand::LiveChat:
        openLiveChat(shop, prompter, window);
        break;
    case MenuCommand::FontSize:
        shop.toggleFontSize();
        break;
    case MenuCommand::ShowLast:
        shop.toggleShowLast();
        break;
    case MenuCommand::None:
        break;
    }
}

} // namespace quillon
