#include "ui/dialogs/GuiRegistrationDialogs.h"

#include "orders/QtText.h"
#include "ui/dialogs/CShopSetupConfirmDlg.h"
#include "ui/dialogs/CShopSetupDialog.h"

namespace quillon {

auto GuiRegistrationDialogs::runShopSetup(const std::string& host, const std::string& email)
    -> std::optional<SetupOutcome> {
    CShopSetupDialog dialog({host, m_servicePort}, toQString(email), m_prompter);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SetupOutcome{dialog.serviceAccepted() ? 1 : 0, fromQString(dialog.email1())};
}

auto GuiRegistrationDialogs::runConfirmation(const std::string& host, const std::string& email)
    -> std::optional<ConfirmationOutcome> {
    CShopSetupConfirmDlg dialog({host, m_servicePort}, toQString(email), m_prompter);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ConfirmationOutcome{dialog.status(), fromQString(dialog.shopId())};
}

} // namespace quillon
