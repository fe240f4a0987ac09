#pragma once

class QWidget;

namespace quillon {

class Prompter;
class Shop;

// System "Transaction history...": the history dialog over `parent`, its
// searches run by the shop for the current session.
void openTransactionHistory(Shop& shop, Prompter& prompter, QWidget* parent);

// Action "Live chat...": the chat window of `window`, made on first use and
// refreshed with the shop's session details and raised on every later one.
void openLiveChat(Shop& shop, Prompter& prompter, QWidget* window);

} // namespace quillon
