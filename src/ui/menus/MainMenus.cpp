#include "ui/menus/MainMenus.h"

namespace quillon {

std::vector<Menu> mainMenus(const MenuState& s) {
    // Items 1 to 4 of "System" need a session with the central service.
    const bool session = s.loggedIn;
    Menu system{QStringLiteral("System"),
                200,
                {{s.loggedIn ? QStringLiteral("Logout") : QStringLiteral("Login..."), true},
                 {QStringLiteral("Change password..."), session},
                 {QStringLiteral("Shop information..."), session},
                 {QStringLiteral("Product information..."), session},
                 {QStringLiteral("Transaction history..."), session},
                 {QStringLiteral("Configuration..."), true},
                 {QStringLiteral("Email notification..."), true},
                 {QStringLiteral("Trusted customer..."), true}}};
    if (s.hasPlugins)
        system.items.push_back({QStringLiteral("Plugin Parameters..."), true});
    system.items.push_back({QStringLiteral("Exit"), true});

    Menu action{
        QStringLiteral("Action"),
        200,
        {{s.offline ? QStringLiteral("Put system on-line") : QStringLiteral("Take system off-line"),
          true},
         {QStringLiteral("Live chat..."), true}}};

    // Each Display item names the choice the shop does not have now.
    Menu display{
        QStringLiteral("Display"),
        140,
        {{s.largeFont ? QStringLiteral("Use small font") : QStringLiteral("Use large font"), true},
         {s.followNewest ? QStringLiteral("Manual update") : QStringLiteral("Update for new order"),
          true}}};
    return {system, action, display};
}

MenuCommand menuCommandAt(int menu, int item, bool hasPlugins) {
    switch (menu) {
    case 0: {
        static constexpr MenuCommand fixed[] = {
            MenuCommand::LoginOrLogout,      MenuCommand::ChangePassword,
            MenuCommand::ShopInformation,    MenuCommand::ProductInformation,
            MenuCommand::TransactionHistory, MenuCommand::Configuration,
            MenuCommand::EmailNotification,  MenuCommand::TrustedCustomers};
        if (item >= 0 && item < 8)
            return fixed[item];
        if (hasPlugins && item == 8)
            return MenuCommand::PluginParameters;
        return item == (hasPlugins ? 9 : 8) ? MenuCommand::Exit : MenuCommand::None;
    }
    case 1:
        return item == 0   ? MenuCommand::OnlineOrOffline
               : item == 1 ? MenuCommand::LiveChat
                           : MenuCommand::None;
    case 2:
        return item == 0   ? MenuCommand::FontSize
               : item == 1 ? MenuCommand::ShowLast
                           : MenuCommand::None;
    default:
        return MenuCommand::None;
    }
}

} // namespace quillon
