#pragma once

class QWidget;

namespace quillon {

class Prompter;
class Shop;

// The System menu's settings commands. Each opens its dialog modally on the
// shop's current values and hands what the shop chose to the shop's
// commands; `prompter` shows the dialogs' messages.

// "Configuration...": on OK the eight values, the counter raised to the
// new first number when it lies below it.
void openConfiguration(Shop& shop, Prompter& prompter, QWidget* parent);
// "Email notification...": on OK the six values.
void openEmailNotification(Shop& shop, Prompter& prompter, QWidget* parent);
// "Trusted customer...": a changed list, with its lookup, replaces the
// shop's at once.
void openTrustedCustomers(Shop& shop, Prompter& prompter, QWidget* parent);
// "Plugin Parameters...": each accepted parameter table is written into its
// plug-in at once.
void openPluginParameters(Shop& shop, Prompter& prompter, QWidget* parent);

} // namespace quillon
