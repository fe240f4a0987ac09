#pragma once

class QWidget;

namespace quillon {

class AccountSession;
class Prompter;
class Shop;

// The System menu's account commands, items 0 to 3. Each opens its dialogs
// over `parent`, their messages shown by `prompter`, and runs its request
// through the shop's account session, which shows the outcome; `parent`
// shows a busy cursor while the request runs. A command does nothing while
// another account command runs.

// "Login..." when logged out, "Logout" when logged in.
void loginOrLogout(Shop& shop, Prompter& prompter, QWidget* parent);
// "Change password...".
void openChangePassword(AccountSession& account, Prompter& prompter, QWidget* parent);
// "Shop information...": fetches the shop's details, opens them for
// editing and sends them back on OK.
void openShopInformation(AccountSession& account, Prompter& prompter, QWidget* parent);
// "Product information...": edits a copy of the product list; "Update"
// uploads it and makes it the current list.
void openProductInformation(Shop& shop, Prompter& prompter, QWidget* parent);

} // namespace quillon
