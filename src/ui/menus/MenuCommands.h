#pragma once

class QWidget;

namespace quillon {

class Prompter;
class Shop;

// Carries out the (menu, item) pair the menu bar delivered: the commands
// that change the shop's state go straight to Shop, the others open their
// dialogs over `window`, their messages shown by `prompter`.
void runMenuCommand(Shop& shop, Prompter& prompter, QWidget* window, int menu, int item);

} // namespace quillon
