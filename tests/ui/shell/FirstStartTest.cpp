// A new shop's first start through the program's own start-up with its
// window, against the simulated central service: "Shop setup", the answer
// naming the new SHOP ID, "Shop setup confirmation", then the main window
// with the new shop's SHOP ID and products.
#include "core/SettingsStore.h"
#include "core/WorkingFolders.h"
#include "ui/dialogs/CShopSetupConfirmDlg.h"
#include "ui/dialogs/CShopSetupDialog.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/shell/WindowedRun.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QSettings>

using namespace quillon;
using namespace testsupport;

namespace {

void fillSetup(CShopSetupDialog& d) {
    child(d, "Shop name")->setText("Foto Verhoef");
    child(d, "Password")->setText("pw123456");
    child(d, "Re-type password")->setText("pw123456");
    child(d, "Phone no. 1")->setText("038 421 5566");
    child(d, "Primary contact")->setText("Anneke Verhoef");
    child(d, "URL")->setText("https://verhoef.example");
}

} // namespace

TEST(FirstStart, SetupThenConfirmationThenTheWindowOnLine) {
    NetsimService service;
    ASSERT_TRUE(service.start({"--seed"})) << service.log().toStdString();
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
    WindowedRunOptions options;
    options.run.servicePort = service.servicePort();
    ShopConfig& shop = options.run.shop;
    std::tie(shop.server1Port, shop.server2Port, shop.listenAddress, shop.acceptWaitMs) =
        std::tuple(0, 0, "127.0.0.1", 200);
    options.window.splash = false;
    MessageBoxes boxes;

    // The service turns the first setup down: the dialog closes, the status
    // stays 0 and the run ends without a window.
    service.writeFaults(R"([{"kind": "0/0", "action": "returncode", "value": 0}])");
    {
        WhenShown<CShopSetupDialog> refused([](CShopSetupDialog& d) {
            EXPECT_EQ(child(d, "Email 1")->text(), "info@verhoef.example");
            fillSetup(d);
            d.accept();
        });
        options.attach = [](WindowedShop&, Prompter&) {
            ADD_FAILURE() << "a window without a set-up shop";
        };
        SettingsStore store(profile);
        EXPECT_EQ(runWindowed(store, options), 0);
        EXPECT_TRUE(refused.acted());
    }
    EXPECT_EQ(stored("status").toInt(), 0);

    // Sent again and accepted; the answer names the new SHOP ID, which the
    // confirmation then sends. The dialogs' actions only act and record: the
    // test asserts after the run.
    service.writeFaults("[]");
    WhenShown<CShopSetupDialog> setup([](CShopSetupDialog& d) {
        fillSetup(d);
        d.accept();
    });
    QString shopId, answer;
    WhenShown<CShopSetupConfirmDlg> confirm([&](CShopSetupConfirmDlg& c) {
        answer = boxes.texts().back();
        const qsizetype at = answer.indexOf("SHOP ID is ");
        shopId = at < 0 ? QString() : answer.mid(at + 11, 32);
        child(c, "shopId")->setText(shopId);
        c.accept();
    });

    // The window shows the new shop with its products (going on-line is the
    // windowed shop's test). Each step starts the next from the event loop
    // and records.
    struct Seen {
        QString welcome, storedId;
        int status = 0;
        std::string settingsId;
        bool products = false;
    } seen;
    options.attach = [&](WindowedShop& windowed, Prompter&) {
        Shop* shop = &windowed.shop();
        CMainDlg* window = &windowed.window();
        QObject::connect(&windowed, &WindowedShop::shown, window, [&, shop, window] {
            seen.welcome = boxes.texts().back();
            seen.status = stored("status").toInt();
            seen.storedId = stored("shopid").toString();
            seen.settingsId = shop->settings().shopid;
            whenReady(
                window, [shop] { return shop->isReady(); },
                [=, &seen] {
                    seen.products = shop->products() && !shop->products()->empty();
                    window->close();
                },
                [window] { window->close(); });
        });
    };
    SettingsStore store(profile);
    EXPECT_EQ(runWindowed(store, options), 0);
    EXPECT_EQ(shopId.size(), 32) << answer.toStdString();
    EXPECT_EQ(std::tuple(seen.welcome, seen.status, seen.storedId, seen.settingsId, seen.products,
                         stored("email").toString()),
              std::tuple("Your shop is set up. Welcome to the Velorin Photo Network.", 2, shopId,
                         shopId.toStdString(), true, "info@verhoef.example"));
    EXPECT_TRUE(readFile(folder.filePath(kSystemLogFolder, "SYSLOG000000.TXT"))
                    .endsWith("System shutdown.\r\n"));

    qunsetenv("QUILLON_STARTUP_FTP");
    QDir::setCurrent(previous);
}
