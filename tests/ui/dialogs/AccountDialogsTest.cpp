// The account dialogs on their own: limits, checks, lists and logos.
#include "core/ShopFields.h"
#include "ui/dialogs/CChangePasswordDlg.h"
#include "ui/dialogs/CEditProductDlg.h"
#include "ui/dialogs/CEditShopInfoDlg.h"
#include "ui/dialogs/CLoginDialog.h"
#include "ui/dialogs/CNewProductDlg.h"
#include "ui/dialogs/CPayPalSetupDlg.h"
#include "ui/dialogs/CProductDialog.h"
#include "ui/dialogs/CShopSetupDialog.h"

#include "support/RecordingPrompter.h"
#include "support/gui/DialogDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace quillon;
using testsupport::child;
using testsupport::expectRefused;
using testsupport::findButton;
using testsupport::RecordingPrompter;
using testsupport::WhenShown;
using Texts = std::vector<std::string>;

TEST(AccountDialogs, ChangePasswordTakesEightCharactersTypedTwice) {
    RecordingPrompter prompter;
    CChangePasswordDlg change(prompter);
    change.open();
    QTest::keyClicks(child(change, "newPassword"), "abcdefghi");
    QTest::keyClicks(child(change, "retypedPassword"), "abcdefgX");
    EXPECT_EQ(change.newPassword(), "abcdefgh");
    change.accept();
    EXPECT_TRUE(change.isVisible());
    EXPECT_EQ(prompter.messages(), Texts{"Please re-type your new password and try again."});
    child(change, "retypedPassword")->setText("abcdefgh");
    change.accept();
    EXPECT_EQ(std::tuple(change.isVisible(), change.result(), change.oldPassword()),
              std::tuple(false, QDialog::Accepted, ""));
}

TEST(AccountDialogs, ProductListEditsItsListInPlace) {
    RecordingPrompter prompter;
    ProductList list{{101, 0.25f, "Print 9x13"}, {102, 0.29f, "Print 10x15"}};
    CProductDialog dialog(list, prompter);
    dialog.resize(600, 400);
    dialog.show();
    auto* table = child<QTableWidget>(dialog, "products");
    auto* edit = child<QPushButton>(dialog, "edit");
    auto* update = child<QPushButton>(dialog, "update");
    QApplication::processEvents();

    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(1, 1)->text(), "0.29");
    EXPECT_FALSE(edit->isEnabled() || update->isEnabled());

    // A click on a row selects it; one below the rows drops the selection.
    QWidget* rows = table->viewport();
    QTest::mouseClick(rows, Qt::LeftButton, {}, table->visualItemRect(table->item(1, 2)).center());
    EXPECT_TRUE(edit->isEnabled());
    QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(10, rows->height() - 5));
    EXPECT_FALSE(edit->isEnabled());

    // A code out of range keeps "New product" open; a duplicate code is fine.
    WhenShown<CNewProductDlg> adding([&](CNewProductDlg& add) {
        child(add, "code")->setText("-1");
        child(add, "price")->setText("1000000");
        add.accept();
        EXPECT_TRUE(add.isVisible());
        child(add, "code")->setText("101");
        add.accept();
    });
    child<QPushButton>(dialog, "add")->click();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(std::tie(list[2].code, list[2].price, list[2].description),
              std::tuple(101, 1000000.0f, ""));
    EXPECT_EQ(prompter.messages(), Texts{"Please enter an integer between 0 and 999999."});
    EXPECT_TRUE(update->isEnabled());

    table->selectRow(0);
    WhenShown<CEditProductDlg> editing([](CEditProductDlg& change) {
        EXPECT_EQ(child(change, "price")->text(), "0.25");
        child(change, "price")->setText("0.3");
        change.accept();
    });
    edit->click();
    EXPECT_EQ(list[0].price, 0.3f);

    table->selectRow(1);
    child<QPushButton>(dialog, "delete")->click();
    EXPECT_EQ(list.size(), 3u);
    table->selectRow(1);
    prompter.setAnswer(true);
    child<QPushButton>(dialog, "delete")->click();
    EXPECT_EQ(
        std::tuple(list.size(), table->rowCount(), prompter.messages().back()),
        std::tuple(2u, 2, "About to delete product item 102 - Print 10x15. Okay to proceed?"));
}

TEST(AccountDialogs, PayPalLogoMustFitAndCanBeDropped) {
    QTemporaryDir dir;
    const QString fits = dir.filePath("fits.bmp"), wide = dir.filePath("wide.jpg");
    QImage(150, 50, QImage::Format_RGB32).save(fits);
    QImage(151, 50, QImage::Format_RGB32).save(wide);
    RecordingPrompter prompter;

    CPayPalSetupDlg fresh("pay@shop.example", QImage(), prompter);
    EXPECT_FALSE(child<QCheckBox>(fresh, "useOwnLogo")->isChecked() ||
                 child<QPushButton>(fresh, "selectLogo")->isEnabled());
    fresh.loadLogo(fits);
    EXPECT_EQ(std::tuple(fresh.logo().size(), fresh.logoChanged()),
              std::tuple(QSize(150, 50), true));
    fresh.loadLogo(wide);
    EXPECT_EQ(std::tuple(fresh.logo().isNull(), prompter.messages()),
              std::tuple(true, Texts{kLogoTooLargeText}));

    QImage logo(60, 20, QImage::Format_RGB32);
    CPayPalSetupDlg owned("pay@shop.example", logo, prompter);
    auto* useOwn = child<QCheckBox>(owned, "useOwnLogo");
    EXPECT_TRUE(useOwn->isChecked());
    useOwn->setChecked(false);
    EXPECT_EQ(std::tuple(owned.logo().isNull(), owned.logoChanged()), std::tuple(true, false));
}

TEST(AccountDialogs, ShopInformationChecksItsFieldsAndKeepsUnknownChoices) {
    ShopInfo info;
    info.phone1 = "038 421 5566";
    info.primaryContact = "Anneke";
    info.payPal = "pay@shop.example";
    // Choices the lists do not know go back as they came.
    std::tie(info.currency, info.orderRestriction, info.shopStatus, info.paymentType) =
        std::tuple(17, 9, 4, 1);
    RecordingPrompter prompter;
    CEditShopInfoDlg dialog(info, QImage(), prompter);
    dialog.open();
    auto* payPal = child<QPushButton>(dialog, "payPalSetup");
    EXPECT_TRUE(payPal->isEnabled());
    child<QComboBox>(dialog, "paymentType")->setCurrentIndex(0);
    EXPECT_FALSE(payPal->isEnabled());

    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompter.messages(), Texts{"Email 1 is required."});
    child(dialog, "Email 1")->setText("info@shop.example");
    child(dialog, "URL")->setText("https://shop.example");
    expectRefused(dialog, "City", "Łódź", "Ł", "City", prompter);
    expectRefused(dialog, "salesTax", "1e39", "1e39", "Applicable sales tax", prompter);
    child(dialog, "City")->setText("Lodz");
    child(dialog, "salesTax")->setText("21.5");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const ShopInfo back = dialog.values();
    EXPECT_EQ(std::tuple(back.currency, back.orderRestriction, back.paymentType, back.shopStatus),
              std::tuple(17, 9, 0, 4));
    EXPECT_EQ(std::tuple(back.payPal, back.email1, back.city, salesTaxPercent(back.salesTax)),
              std::tuple("pay@shop.example", "info@shop.example", "Lodz", 21.5f));
}

// A text that the service would get with "?" in place of what was typed is
// refused, so nothing is sent: two different Cyrillic passwords of the same
// length would otherwise be the same one.
TEST(AccountDialogs, PasswordsThatCannotBeSentAreRefused) {
    RecordingPrompter prompter;
    CLoginDialog login("ABC", prompter);
    expectRefused(login, "password", "пароль12", "п", "Password", prompter);
    child(login, "password")->setText("secret");
    login.accept();
    EXPECT_EQ(login.result(), QDialog::Accepted);

    CChangePasswordDlg change(prompter);
    child(change, "retypedPassword")->setText(QString::fromUtf8("ключик12"));
    expectRefused(change, "newPassword", "ключик12", "к", "New password", prompter);

    CShopSetupDialog setup({"127.0.0.1", 1}, "info@shop.example", prompter);
    child(setup, "Re-type password")->setText(QString::fromUtf8("пароль12"));
    expectRefused(setup, "Password", "пароль12", "п", "Password", prompter);
    EXPECT_TRUE(findButton(setup, "Send")->isEnabled()); // nothing is being sent
    setup.reject();
}
