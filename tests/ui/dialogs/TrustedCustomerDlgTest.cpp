// The trusted customers command on a real shop: the list and customer
// dialogs, and what the next registered order sees.
#include "core/WorkingFolders.h"
#include "ui/dialogs/CNewTrustedCustomerDlg.h"
#include "ui/dialogs/CTrustedCustomerDlg.h"
#include "ui/menus/SettingsCommands.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

using namespace quillon;
using namespace testsupport;

namespace {

QStringList emails(QTableWidget& list) {
    QStringList shown;
    for (int row = 0; row < list.rowCount(); ++row)
        shown << list.item(row, 0)->text();
    return shown;
}

void clickRow(QTableWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(row, 0)).center());
}

// Fills the customer dialog's fields that `texts` names and presses OK.
std::function<void(CNewTrustedCustomerDlg&)> enter(std::map<const char*, QString> texts) {
    return [texts](CNewTrustedCustomerDlg& d) {
        for (const auto& [field, text] : texts)
            retype(d, field, text);
        clickButton(d, "OK");
    };
}

} // namespace

TEST(TrustedCustomerDlg, EditsKeptByCloseReachTheNextOrder) {
    ServedShop s;
    ASSERT_TRUE(writeFile(s.h.folder.filePath(kDbFolder, "TRUST.TXT"),
                          "bob@x;Bob;Brown;1;Main St\r\ndave@x;Dave;Dale;2;Elm St\r\n"));
    s.go();
    ASSERT_EQ(s.h.shop->trustedCustomers().size(), 2u);

    WhenShown<CTrustedCustomerDlg> edit([&](CTrustedCustomerDlg& d) {
        auto& list = *d.findChild<QTableWidget*>();
        EXPECT_FALSE(findButton(d, "Update")->isEnabled());

        // Add: a ";" is refused, and a character the file cannot hold (it
        // would be stored as "?", one key for different customers); the
        // dialog stays open until they are gone.
        WhenShown<CNewTrustedCustomerDlg> add([&](CNewTrustedCustomerDlg& c) {
            enter({{"email", "carol@x;"}, {"firstName", "Carol"}})(c);
            EXPECT_TRUE(c.isVisible());
            c.findChild<QLineEdit*>("email")->setText("кэрол@x");
            clickButton(c, "OK");
            EXPECT_TRUE(c.isVisible() && c.focusWidget() == c.findChild<QLineEdit*>("email"));
            enter({{"email", "carol@x"}})(c);
        });
        clickButton(d, "Add");
        const std::vector<std::string> told = s.h.prompter.messages();
        ASSERT_EQ(told.size(), 2u);
        EXPECT_EQ(std::tuple(told[0], told[1].substr(0, 7), emails(list)),
                  std::tuple(trustedEditMessage(TrustedEditResult::SemicolonInField),
                             "Email: ", QStringList({"bob@x", "carol@x", "dave@x"})));

        // Edit keeps the row even when the e-mail address would sort first.
        clickRow(list, 2);
        WhenShown<CNewTrustedCustomerDlg> change(enter({{"email", "aaron@x"}}));
        clickButton(d, "Edit");
        EXPECT_EQ(std::tuple(emails(list), findButton(d, "Edit")->isEnabled()),
                  std::tuple(QStringList({"bob@x", "carol@x", "aaron@x"}), false));

        clickRow(list, 0);
        clickButton(d, "Delete"); // answered No
        s.h.prompter.setAnswer(true);
        clickButton(d, "Delete");
        EXPECT_EQ(std::tuple(s.h.prompter.messages().back(), emails(list)),
                  std::tuple("About to delete customer bob@x (Bob, Brown). Okay to proceed?",
                             QStringList({"carol@x", "aaron@x"})));
        clickButton(d, "Close");
    });
    openTrustedCustomers(*s.h.shop, s.h.prompter, nullptr);
    ASSERT_TRUE(edit.acted());

    const TrustedCustomers& trusted = s.h.shop->trustedCustomers();
    ASSERT_TRUE(trusted.isTrusted("carol@x") && trusted.isTrusted("aaron@x"));
    EXPECT_EQ(std::tuple(trusted.isTrusted("carol@x")->firstName,
                         trusted.isTrusted("aaron@x")->lastName, trusted.isTrusted("bob@x")),
              std::tuple("Carol", "Dale", nullptr));
    EXPECT_EQ(s.h.registerOrder("carol@x")["trusted"], "1");
    EXPECT_EQ(s.h.registerOrder("bob@x")["trusted"], "0");
}
