#include "ui/menus/SettingsCommands.h"

#include "core/Shop.h"
#include "orders/TrustedCustomers.h"
#include "ui/dialogs/CConfigDlg.h"
#include "ui/dialogs/CEmailSetupDlg.h"
#include "ui/dialogs/CPluginSelectionDlg.h"
#include "ui/dialogs/CTrustedCustomerDlg.h"

namespace quillon {

void openConfiguration(Shop& shop, Prompter& prompter, QWidget* parent) {
    CConfigDlg dialog(prompter, parent);
    dialog.setValues(configurationOf(shop.settings()));
    if (dialog.exec() == QDialog::Accepted)
        shop.applyConfiguration(dialog.values());
}

void openEmailNotification(Shop& shop, Prompter& prompter, QWidget* parent) {
    CEmailSetupDlg dialog(prompter, parent);
    dialog.setValues(notificationOf(shop.settings()));
    if (dialog.exec() == QDialog::Accepted)
        shop.applyNotification(dialog.values());
}

void openTrustedCustomers(Shop& shop, Prompter& prompter, QWidget* parent) {
    CTrustedCustomerDlg dialog(shop.trustedCustomers(), prompter, parent);
    dialog.exec();
    if (dialog.changed())
        shop.replaceTrustedCustomers(dialog.customers());
}

void openPluginParameters(Shop& shop, Prompter& prompter, QWidget* parent) {
    CPluginSelectionDlg dialog(shop.plugins(), prompter, parent);
    QObject::connect(&dialog, &CPluginSelectionDlg::parametersAccepted, &shop,
                     &Shop::writePluginParameters);
    dialog.exec();
}

} // namespace quillon
