// The Configuration and E-mail notification commands, driven through their
// dialogs on a real shop.
#include "ui/menus/SettingsCommands.h"

#include "board/BoardPassword.h"
#include "board/ShopBoard.h"
#include "ui/dialogs/CConfigDlg.h"
#include "ui/dialogs/CEmailSetupDlg.h"

#include "support/board/BoardClient.h"
#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

using namespace quillon;
using namespace testsupport;

// When the counter is raised is the settings' own test; here the dialog's way
// there (Cancel is the test after the next).
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
    // The application's record too.
    EXPECT_EQ(std::tuple(h.shop->settings().currentnumber, h.settings.currentnumber,
                         h.shop->settings().numdigit),
              std::tuple(500u, 500u, 4));

    // What the run changed reaches the profile when it ends.
    h.store->save(h.settings);
    const Settings saved = SettingsStore(h.store->iniFile()).load("");
    EXPECT_EQ(std::tie(saved.rootordernumber, saved.currentnumber, saved.prefix),
              std::tuple(500u, 500u, "WEB-"));
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
        EXPECT_EQ(smtp->text(), "mail.example");
        EXPECT_EQ(d.findChild<QLineEdit*>("sender")->text(), "shop@example");
        smtp->clear(); // no field is required
        // The ready e-mail's switch alone enables the server fields.
        clickButton(d, "Disabled");
        auto* ready = d.findChild<QCheckBox*>("readymail");
        auto* readyBody = d.findChild<QPlainTextEdit*>("readybody");
        EXPECT_FALSE(readyBody->isEnabled());
        ready->click();
        EXPECT_TRUE(smtp->isEnabled() && readyBody->isEnabled());
        EXPECT_FALSE(body->isEnabled());
        retype(d, "shopname", "Foto Lind");
        clickButton(d, "Enabled");
        clickButton(d, "OK");
    });
    openEmailNotification(*h.shop, h.prompter, nullptr);
    const Settings& s = h.shop->settings();
    EXPECT_EQ(std::tie(s.notification, s.readymail, s.smtp, s.sender, s.shopname),
              std::tuple(true, true, "", "shop@example", "Foto Lind"));
    EXPECT_EQ(std::tie(s.subject, s.body, h.settings.body),
              std::tuple(std::string(120, 's'), std::string(500, 'b'), s.body));
    EXPECT_EQ(s.readysubject, Settings{}.readysubject); // untouched, kept
}

// What cannot be stored as typed, or cannot number orders, is refused on OK
// with the field named and focused (which numberings cannot work is the field
// rules' test); Cancel then leaves every setting as it was.
TEST(SettingsCommands, SettingsThatCannotBeStoredAreRefused) {
    ShopHarness h;
    h.settings.rootpath = "/srv/Auftr\xE4ge"; // "Aufträge"
    h.create(false);
    const Settings before = h.shop->settings();

    struct Refused {
        const char* field;
        const char* text;
        const char* label;
        QString selected;
    };
    auto refuseAll = [&h](QDialog& d, std::vector<Refused> cases) {
        for (const Refused& r : cases)
            expectRefused(d, r.field, QString::fromUtf8(r.text), r.selected, r.label, h.prompter);
        clickButton(d, "Cancel");
    };

    WhenShown<CConfigDlg> config([&](CConfigDlg& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>("rootPath")->text(), QString::fromUtf8("/srv/Aufträge"));
        refuseAll(d, {{"rootPath", "/home/łukasz/Zamówienia", "Output folder root", "ł"},
                      {"prefix", "A/", "Prefix", "/"}});
    });
    openConfiguration(*h.shop, h.prompter, nullptr);
    ASSERT_TRUE(config.acted());

    WhenShown<CEmailSetupDlg> email([&](CEmailSetupDlg& d) {
        clickButton(d, "Enabled");
        refuseAll(d, {{"sender", "заказы@фото.example", "Sender's Email Address", "з"},
                      {"body", "Thank you.\nYour order → %ORDER%", "Body", "→"}});
    });
    openEmailNotification(*h.shop, h.prompter, nullptr);
    ASSERT_TRUE(email.acted());
    EXPECT_EQ(h.prompter.messages().size(), 4u);

    const Settings& after = h.shop->settings();
    EXPECT_EQ(std::tie(after.rootpath, after.prefix, after.postfix, after.numdigit, after.sender,
                       after.body, after.notification),
              std::tie(before.rootpath, before.prefix, before.postfix, before.numdigit,
                       before.sender, before.body, before.notification));
}

// The counter board's part: switched on with a new password it starts and
// takes that password; a second password ends the first; the profile keeps
// only the hash; switched off it stops.
TEST(SettingsCommands, ConfigurationSetsUpTheCounterBoard) {
    ShopHarness h;
    h.settings.boardaddress = "127.0.0.1";
    h.create(false);
    ShopBoard board(*h.shop, 0); // a free port, whatever the dialog says

    WhenShown<CConfigDlg> on([&](CConfigDlg& d) {
        EXPECT_TRUE(child<QLabel>(d, "boardPasswordState")->text().startsWith("No password"));
        child<QCheckBox>(d, "board")->setChecked(true);
        expectRefused(d, "boardPort", "65536", "65536", "Port", h.prompter);
        expectRefused(d, "boardPassword", "", "", "New password", h.prompter);
        retype(d, "boardPassword", "at the counter");
        retype(d, "boardPasswordAgain", "at the countr");
        clickButton(d, "OK");
        EXPECT_EQ(d.focusWidget(), child(d, "boardPasswordAgain"));
        retype(d, "boardPasswordAgain", "at the counter");
        retype(d, "boardPort", "8181");
        clickButton(d, "OK");
    });
    openConfiguration(*h.shop, h.prompter, nullptr);
    EXPECT_EQ(std::tuple(h.prompter.messages().size(), h.settings.board, h.settings.boardport),
              std::tuple(3u, true, 8181));
    EXPECT_TRUE(boardPasswordMatches("at the counter", h.settings.boardpassword));
    int port = 0;
    ASSERT_TRUE(processUntil([&] {
        for (const std::string& line : h.texts())
            if (line.rfind("Counter board at http://127.0.0.1:", 0) == 0)
                port = std::stoi(line.substr(line.rfind(':') + 1));
        return port > 0;
    }));
    BoardClient browser(port);
    EXPECT_EQ(browser.login("at the counter").status, 200);

    WhenShown<CConfigDlg> again([&](CConfigDlg& d) {
        EXPECT_TRUE(child<QLabel>(d, "boardPasswordState")->text().startsWith("A password"));
        retype(d, "boardPassword", "new at the counter");
        retype(d, "boardPasswordAgain", "new at the counter");
        clickButton(d, "OK");
    });
    openConfiguration(*h.shop, h.prompter, nullptr);
    EXPECT_EQ(browser.get("/api/orders").status, 401);
    EXPECT_EQ(browser.login("at the counter").status, 401);
    EXPECT_EQ(browser.login("new at the counter").status, 200);

    h.store->save(h.settings);
    const QByteArray profile = readFile(h.store->fileName());
    EXPECT_TRUE(profile.contains("boardpassword=pbkdf2-sha256$")) << profile.constData();
    EXPECT_FALSE(profile.contains("at the counter"));
    EXPECT_EQ(SettingsStore(h.store->iniFile()).load("").boardport, 8181);

    // Off, with the password kept for next time.
    WhenShown<CConfigDlg> off([&](CConfigDlg& d) {
        child<QCheckBox>(d, "board")->setChecked(false);
        clickButton(d, "OK");
    });
    openConfiguration(*h.shop, h.prompter, nullptr);
    EXPECT_TRUE(h.hasLine("Counter board stopped."));
    EXPECT_TRUE(boardPasswordMatches("new at the counter", h.settings.boardpassword));
    EXPECT_EQ(BoardClient(port).get("/").status, 0);
}
