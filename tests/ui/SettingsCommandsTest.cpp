// The Configuration and E-mail notification commands, driven through their
// dialogs on a real shop.
#include "ui/SettingsCommands.h"

#include "ui/CConfigDlg.h"
#include "ui/CEmailSetupDlg.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using namespace quillon;
using namespace testsupport;

// When the counter is raised is the settings' own test; here the dialog's way
// there.
TEST(SettingsCommands, ConfigurationRaisesTheCounterToANewFirstNumber) {
    ShopHarness h;
    h.settings.currentnumber = 120;
    h.create(false);

    // A letter in a number field: told, focus back, still open; then fixed.
    WhenShown<CConfigDlg> letter([&](CConfigDlg& d) {
        retype(d, "startsFrom", "500");
        retype(d, "digits", "4x");
        retype(d, "prefix", "WEB-");
        clickButton(d, "OK");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(d.focusWidget(), d.findChild<QLineEdit*>("digits"));
        retype(d, "digits", "4");
        clickButton(d, "OK");
    });
    openConfiguration(*h.shop, h.prompter, nullptr);
    EXPECT_EQ(h.prompter.messages(), std::vector<std::string>{"Please enter an integer."});
    EXPECT_EQ(h.shop->settings().currentnumber, 500u);
    EXPECT_EQ(h.settings.currentnumber, 500u); // the application's record too
    EXPECT_EQ(h.shop->settings().numdigit, 4);

    WhenShown<CConfigDlg> cancel([&](CConfigDlg& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("prefix")->text(), "WEB-");
        retype(d, "prefix", "X-");
        retype(d, "startsFrom", "900");
        clickButton(d, "Cancel");
    });
    openConfiguration(*h.shop, h.prompter, nullptr);
    EXPECT_EQ(h.shop->settings().prefix, "WEB-");
    EXPECT_EQ(h.shop->settings().currentnumber, 500u);

    // What the run changed reaches the profile when it ends.
    h.store->save(h.settings);
    const Settings saved = SettingsStore(h.store->iniFile()).load("");
    EXPECT_EQ(saved.rootordernumber, 500u);
    EXPECT_EQ(saved.currentnumber, 500u);
    EXPECT_EQ(saved.prefix, "WEB-");
}

TEST(SettingsCommands, EmailNotificationKeepsHiddenFieldsAndHoldsItsLimits) {
    ShopHarness h;
    h.settings.smtp = "mail.example";
    h.settings.sender = "shop@example";
    h.create(false);

    WhenShown<CEmailSetupDlg> edit([&](CEmailSetupDlg& d) {
        auto* smtp = d.findChild<QLineEdit*>("smtp");
        auto* body = d.findChild<QPlainTextEdit*>("body");
        EXPECT_FALSE(smtp->isEnabled()); // notification is off
        clickButton(d, "Enabled");
        retype(d, "subject", QString(130, 's'));
        body->selectAll();
        QTest::keyClicks(body, QString(510, 'b'));
        clickButton(d, "Disabled");
        EXPECT_FALSE(body->isEnabled());
        clickButton(d, "Enabled");
        EXPECT_TRUE(body->isEnabled());
        EXPECT_EQ(smtp->text(), "mail.example");
        EXPECT_EQ(d.findChild<QLineEdit*>("sender")->text(), "shop@example");
        smtp->clear(); // no field is required
        clickButton(d, "OK");
    });
    openEmailNotification(*h.shop, nullptr);
    const Settings& s = h.shop->settings();
    EXPECT_TRUE(s.notification);
    EXPECT_EQ(s.smtp, "");
    EXPECT_EQ(s.sender, "shop@example");
    EXPECT_EQ(s.subject, std::string(120, 's'));
    EXPECT_EQ(s.body, std::string(500, 'b'));
    EXPECT_EQ(h.settings.body, s.body);
}
