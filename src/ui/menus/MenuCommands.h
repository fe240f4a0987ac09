#pragma once

class QWidget;

namespace quillon {

class Shop;

// Carries out the (menu, item) pair the menu bar delivered: the commands
// that change the shop's state go straight to Shop, the others open their
// dialogs over `window`.
void runMenuCommand(Shop& shop, QWidget* window, int menu, int item);

} // namespace quillon
