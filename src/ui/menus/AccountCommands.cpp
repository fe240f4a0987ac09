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
void followCommand(Shop& shop, QWidget* parent, bool started, std::function<void()> finished = {}) {
    if (!started) {
        if (finished)
            finished();
        return;
    }
    QPointer<QWidget> owner(parent);
    if (owner)
        owner->setCursor(Qt::BusyCursor);
    QObject::connect(
        &shop, &Shop::accountCommandFinished, &shop,
        [owner, finished] {
            if (owner)
                owner->unsetCursor();
            if (finished)
                finished();
        },
        Qt::SingleShotConnection);
}

bool mayStart(Shop& shop) {
    return shop.isLoggedIn() && !shop.isAccountBusy();
}

void editShopInformation(Shop& shop, QWidget* parent, const ShopInfo& fetched) {
    CEditShopInfoDlg dialog(fetched, fetched.hasLogo ? decodeLogo(fetched.logo) : QImage(),
                            shop.prompter(), parent);
    if (dialog.exec() != QDialog::Accepted || !mayStart(shop))
        return;
    ShopInfo edited = dialog.values();
    const QImage& logo = dialog.logo();
    edited.hasLogo = logo.isNull() ? 0 : 1;
    // A logo that was not replaced goes back as it came, not re-encoded.
    if (!logo.isNull())
        edited.logo = dialog.logoChanged() ? encodeLogo(logo) : fetched.logo;
    followCommand(shop, parent, shop.updateShopInformation(edited));
}

} // namespace

void loginOrLogout(Shop& shop, QWidget* parent) {
    if (shop.isAccountBusy())
        return;
    if (shop.isLoggedIn()) {
        followCommand(shop, parent, shop.logout());
        return;
    }
    CLoginDialog dialog(toQString(shop.settings().shopid), shop.prompter(), parent);
    if (dialog.exec() == QDialog::Accepted && !shop.isAccountBusy())
        followCommand(shop, parent,
                      shop.login(fromQString(dialog.shopId()), fromQString(dialog.password())));
}

void openChangePassword(Shop& shop, QWidget* parent) {
    if (!mayStart(shop))
        return;
    CChangePasswordDlg dialog(shop.prompter(), parent);
    if (dialog.exec() == QDialog::Accepted && mayStart(shop))
        followCommand(shop, parent,
                      shop.changePassword(fromQString(dialog.oldPassword()),
                                          fromQString(dialog.newPassword())));
}

void openShopInformation(Shop& shop, QWidget* parent) {
    if (!mayStart(shop))
        return;
    // Lives for this one fetch; the dialog opens once the shop's handler
    // has returned.
    auto* fetch = new QObject(&shop);
    QPointer<QWidget> owner(parent);
    QObject::connect(
        &shop, &Shop::shopInformationFetched, fetch, [&shop, owner](const ShopInfo& info) {
            QTimer::singleShot(0, &shop,
                               [&shop, owner, info] { editShopInformation(shop, owner, info); });
        });
    followCommand(shop, parent, shop.fetchShopInformation(), [fetch] { fetch->deleteLater(); });
}

void openProductInformation(Shop& shop, QWidget* parent) {
    if (!mayStart(shop))
        return;
    // The dialog edits a copy; Cancel leaves the current list as it was.
    // "Update" sends it with the dialog still open, which closes once the
    // service has answered and keeps the edits when no answer came.
    ProductList copy = shop.products() ? *shop.products() : ProductList{};
    CProductDialog dialog(copy, shop.prompter(), parent);
    dialog.setSender([&shop, &copy] { return mayStart(shop) && shop.updateProducts(copy); });
    QObject::connect(&shop, &Shop::accountCommandFinished, &dialog,
                     [&dialog](AccountCommand command, int result) {
                         if (command == AccountCommand::UpdateProducts)
                             dialog.sendFinished(result != Shop::kNoAnswer);
                     });
    dialog.exec();
}

} // namespace quillon
