#pragma once

class QWidget;

namespace quillon {

class Shop;

// What each menu item does: the commands that change the shop's state go
// straight to Shop; each command that needs a dialog has its entry point
// here. A dialog that is not built yet leaves its command doing nothing.
class MenuCommands {
public:
    MenuCommands(Shop& shop, QWidget* window) : m_shop(shop), m_window(window) {}

    // The (menu, item) pair the menu bar delivered.
    void run(int menu, int item);

    void login();
    void logout();
    void changePassword();
    void shopInformation();
    void productInformation();
    void transactionHistory();
    void configuration();
    void emailNotification();
    void trustedCustomers();
    void pluginParameters();
    void liveChat();

private:
    Shop& m_shop;
    QWidget* m_window;
};

} // namespace quillon
