#pragma once

#include <QString>
#include <vector>

namespace quillon {

struct MenuItem {
    QString text;
    bool enabled = true;
};

// One drop-down menu of the menu bar; its items are addressed by position.
struct Menu {
    QString title;
    int dropDownWidth = 200;
    std::vector<MenuItem> items;
};

// What the menu texts and enabled states follow.
struct MenuState {
    bool loggedIn = false;
    bool offline = true;
    bool hasPlugins = false;
    bool largeFont = false;   // fontsize
    bool followNewest = true; // showlast
};

// The three menus "System", "Action" and "Display" for `state`.
std::vector<Menu> mainMenus(const MenuState& state);

// The command behind a (menu, item) pair.
enum class MenuCommand {
    None,
    LoginOrLogout,
    ChangePassword,
    ShopInformation,
    ProductInformation,
    TransactionHistory,
    Configuration,
    EmailNotification,
    TrustedCustomers,
    PluginParameters,
    Exit,
    OnlineOrOffline,
    LiveChat,
    FontSize,
    ShowLast,
};

// "Plugin Parameters..." is item 8 only when a plug-in is loaded; "Exit"
// is always the last item of "System".
MenuCommand menuCommandAt(int menu, int item, bool hasPlugins);

} // namespace quillon
