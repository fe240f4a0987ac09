// A new shop's first start against the simulated central service: the
// "Shop setup" and "Shop setup confirmation" dialogs, the profile they
// write, and the shop that then starts with its (empty) product list.
#include "core/Application.h"
#include "core/SettingsStore.h"
#include "ui/CShopSetupConfirmDlg.h"
#include "ui/CShopSetupDialog.h"
#include "ui/GuiRegistrationDialogs.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QSettings>

using namespace quillon;
using namespace testsupport;

namespace {

void fillSetup(CShopSetupDialog& d, const char* retyped) {
    child(d, "Shop name")->setText("Foto Verhoef");
    child(d, "Password")->setText("pw123456");
    child(d, "Re-type password")->setText(retyped);
    child(d, "Phone no. 1")->setText("038 421 5566");
    child(d, "Primary contact")->setText("Anneke Verhoef");
    child(d, "URL")->setText("https://verhoef.example");
}

} // namespace

TEST(FirstStart, SetupThenConfirmationThenTheShop) {
    NetsimService service;
    QTemporaryDir faults;
    ASSERT_TRUE(service.start({"--faults", faults.filePath("f.json")}))
        << service.log().toStdString();
    ShopFolder folder;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    qputenv("QUILLON_STARTUP_FTP", "");
    const QString profile = folder.filePath("profile.ini");
    QSettings(profile, QSettings::IniFormat).setValue("hostaddress", service.host());
    QSettings(profile, QSettings::IniFormat).setValue("email", "info@verhoef.example");
    auto stored = [&](const char* key) {
        return QSettings(profile, QSettings::IniFormat).value(key);
    };
    RecordingPrompter prompter;
    GuiRegistrationDialogs dialogs(service.servicePort(), prompter);

    // The service turns the first setup down: the dialog closes, the status
    // stays 0 and the process would end.
    writeFile(faults.filePath("f.json"),
              R"([{"kind": "0/0", "action": "returncode", "value": 0}])");
    WhenShown<CShopSetupDialog> refused([](CShopSetupDialog& d) {
        EXPECT_EQ(child(d, "Email 1")->text(), "info@verhoef.example");
        fillSetup(d, "pw123456");
        d.accept();
    });
    {
        SettingsStore store(profile);
        Application app(store, prompter);
        EXPECT_FALSE(app.startUp(&dialogs));
    }
    EXPECT_EQ(stored("status").toInt(), 0);

    // Sent again, first with passwords that differ, then accepted; the
    // answer names the new SHOP ID, which the confirmation then sends.
    writeFile(faults.filePath("f.json"), "[]");
    WhenShown<CShopSetupConfirmDlg> confirm([&](CShopSetupConfirmDlg& c) {
        const std::string answer = prompter.messages().back();
        const size_t at = answer.find("SHOP ID is ");
        ASSERT_NE(at, std::string::npos) << answer;
        child(c, "shopId")->setText(QString::fromStdString(answer.substr(at + 11, 32)));
        c.accept();
    });
    WhenShown<CShopSetupDialog> setup([&](CShopSetupDialog& d) {
        fillSetup(d, "pw12345");
        d.accept();
        ASSERT_TRUE(processUntil([&] { return prompter.messages().size() == 2; }));
        EXPECT_EQ(prompter.messages().back(), "Passwords mismatch. Please re-type your password.");
        EXPECT_TRUE(d.isVisible());
        child(d, "Re-type password")->setText("pw123456");
        d.accept();
    });
    SettingsStore store(profile);
    Application app(store, prompter);
    ASSERT_TRUE(app.startUp(&dialogs));
    EXPECT_EQ(stored("status").toInt(), 2);
    EXPECT_EQ(stored("email").toString(), "info@verhoef.example");
    const std::string shopId = app.settings().shopid;
    EXPECT_EQ(shopId.size(), 32u);
    EXPECT_EQ(prompter.messages().back(),
              "Your shop is set up. Welcome to the Velorin Photo Network.");

    // The shop starts with the new shop's product list, empty but fetched.
    Settings& settings = app.settings();
    settings.centralServicePort = service.servicePort();
    ShopConfig config;
    config.workingDirectory = folder.str();
    ManualClock clock{SystemClock().now()};
    Shop shop(config, settings, &store, clock, prompter);
    shop.initialise();
    ASSERT_TRUE(processUntil([&] { return shop.isReady(); }, std::chrono::seconds(30)));
    ASSERT_TRUE(shop.products());
    EXPECT_TRUE(shop.products()->empty());
    EXPECT_EQ(shop.statusLines().back().substr(16), "System started.");
    ASSERT_TRUE(shop.login(shopId, "pw123456"));
    EXPECT_TRUE(processUntil([&] { return shop.isLoggedIn(); }));

    qunsetenv("QUILLON_STARTUP_FTP");
    QDir::setCurrent(previous);
}
