#include "ui/menus/AccountCommands.h"

#include "core/Shop.h"
#include "core/ShopFields.h"
#include "orders/QtText.h"
#include "ui/dialogs/CChangePasswordDlg.h"
#include "ui/dialogs/CEditShopInfoDlg.h"
#include "ui/dialogs/CLoginDialog.h"
#include "ui/dialogs/CProductDialog.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace quillon {

namespace {

// Shows the busy cursor on `parent` until the command that `started` has
// finished; then `finished` runs.
void followCommand(AccountSession& account, QWidget* parent, bool started,
                   std::function<void()> finished = {}) {
    if (!started) {
        if (finished)
            finished();
        return;
    }
    QPointer<QWidget> owner(parent);
    if (owner)
        owner->setCursor(Qt::BusyCursor);
    QObject::connect(
        &account, &AccountSession::commandFinished, &account,
        [owner, finished] {
            if (owner)
                owner->unsetCursor();
            if (finished)
                finished();
        },
        Qt::SingleShotConnection);
}

bool mayStart(const AccountSession& account) {
    return account.isLoggedIn() && !account.isBusy();
}

void editShopInformation(AccountSession& account, Prompter& prompter, QWidget* parent,
                         const ShopInfo& fetched) {
    CEditShopInfoDlg dialog(fetched, fetched.hasLogo ? decodeLogo(fetched.logo) : QImage(),
                            prompter, parent);
    if (dialog.exec() != QDialog::Accepted || !mayStart(account))
        return;
    ShopInfo edited = dialog.values();
    const QImage& logo = dialog.logo();
    edited.hasLogo = logo.isNull() ? 0 : 1;
    // A logo that was not replaced goes back as it came, not re-encoded.
    if (!logo.isNull())
        edited.logo = dialog.logoChanged() ? encodeLogo(logo) : fetched.logo;
    followCommand(account, parent, account.updateShopInformation(edited));
}

} // namespace

void loginOrLogout(Shop& shop, Prompter& prompter, QWidget* parent) {
    AccountSession& account = shop.account();
    if (account.isBusy())
        return;
    if (account.isLoggedIn()) {
        followCommand(account, parent, account.logout());
        return;
    }
    CLoginDialog dialog(toQString(shop.settings().shopid), prompter, parent);
    if (dialog.exec() == QDialog::Accepted && !account.isBusy())
        followCommand(account, parent,
                      account.login(fromQString(dialog.shopId()), fromQString(dialog.password())));
}

void openChangePassword(AccountSession& account, Prompter& prompter, QWidget* parent) {
    if (!mayStart(account))
        return;
    CChangePasswordDlg dialog(prompter, parent);
    if (dialog.exec() == QDialog::Accepted && mayStart(account))
        followCommand(account, parent,
                      account.changePassword(fromQString(dialog.oldPassword()),
                                             fromQString(dialog.newPassword())));
}

void openShopInformation(AccountSession& account, Prompter& prompter, QWidget* parent) {
    if (!mayStart(account))
        return;
    // Lives for this one fetch; the dialog opens once the session's handler
    // has returned.
    auto* fetch = new QObject(&account);
    QPointer<QWidget> owner(parent);
    QObject::connect(&account, &AccountSession::shopInformationFetched, fetch,
                     [&account, &prompter, owner](const ShopInfo& info) {
                         QTimer::singleShot(0, &account, [&account, &prompter, owner, info] {
                             editShopInformation(account, prompter, owner, info);
                         });
                     });
    followCommand(account, parent, account.fetchShopInformation(),
                  [fetch] { fetch->deleteLater(); });
}

void openProductInformation(Shop& shop, Prompter& prompter, QWidget* parent) {
    AccountSession& account = shop.account();
    if (!mayStart(account))
        return;
    // The dialog edits a copy; Cancel leaves the current list as it was.
    // "Update" sends it with the dialog still open, which closes once the
    // service has answered and keeps the edits when no answer came.
    ProductList copy = shop.products() ? *shop.products() : ProductList{};
    CProductDialog dialog(copy, prompter, parent);
    dialog.setSender(
        [&account, &copy] { return mayStart(account) && account.updateProducts(copy); });
    QObject::connect(&account, &AccountSession::commandFinished, &dialog,
                     [&dialog](AccountCommand command, int result) {
                         if (command == AccountCommand::UpdateProducts)
                             dialog.sendFinished(result != AccountSession::kNoAnswer);
                     });
    dialog.exec();
}

} // namespace quillon
