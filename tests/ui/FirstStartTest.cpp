// A new shop's first start through the program's own start-up with its
// window, against the simulated central service: "Shop setup", the answer
// naming the new SHOP ID, "Shop setup confirmation", then the main window
// with the new shop's products, which goes on-line as that shop.
#include "core/SettingsStore.h"
#include "ui/CMainDlg.h"
#include "ui/CShopSetupConfirmDlg.h"
#include "ui/CShopSetupDialog.h"
#include "ui/WindowedRun.h"

#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"

#include <QDir>
#include <QSettings>
#include <QTest>

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

TEST(FirstStart, SetupThenConfirmationThenTheWindowOnLine) {
    NetsimService service;
    QTemporaryDir faults;
    ASSERT_TRUE(service.start({"--seed", "--faults", faults.filePath("f.json")}))
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
    WindowedRunOptions options;
    options.run.servicePort = service.servicePort();
    options.run.shop.server1Port = 0;
    options.run.shop.server2Port = 0;
    options.run.shop.listenAddress = "127.0.0.1";
    options.run.shop.acceptWaitMs = 200;
    options.window.splash = false;
    MessageBoxes boxes;

    // The service turns the first setup down: the dialog closes, the status
    // stays 0 and the run ends without a window.
    writeFile(faults.filePath("f.json"),
              R"([{"kind": "0/0", "action": "returncode", "value": 0}])");
    {
        WhenShown<CShopSetupDialog> refused([](CShopSetupDialog& d) {
            EXPECT_EQ(child(d, "Email 1")->text(), "info@verhoef.example");
            fillSetup(d, "pw123456");
            d.accept();
        });
        options.attach = [](WindowedShop&) { ADD_FAILURE() << "a window without a set-up shop"; };
        SettingsStore store(profile);
        EXPECT_EQ(runWindowed(store, options), 0);
        EXPECT_TRUE(refused.acted());
    }
    EXPECT_EQ(stored("status").toInt(), 0);

    // Sent again, first with passwords that differ, then accepted; the
    // answer names the new SHOP ID, which the confirmation then sends.
    writeFile(faults.filePath("f.json"), "[]");
    WhenShown<CShopSetupDialog> setup([&](CShopSetupDialog& d) {
        fillSetup(d, "pw12345");
        const qsizetype shown = boxes.texts().size();
        d.accept();
        ASSERT_TRUE(processUntil([&] { return boxes.texts().size() > shown; }));
        EXPECT_EQ(boxes.texts().back(), "Passwords mismatch. Please re-type your password.");
        EXPECT_TRUE(d.isVisible());
        child(d, "Re-type password")->setText("pw123456");
        d.accept();
    });
    QString shopId;
    WhenShown<CShopSetupConfirmDlg> confirm([&](CShopSetupConfirmDlg& c) {
        const QString answer = boxes.texts().back();
        const qsizetype at = answer.indexOf("SHOP ID is ");
        ASSERT_GE(at, 0) << answer.toStdString();
        shopId = answer.mid(at + 11, 32);
        child(c, "shopId")->setText(shopId);
        c.accept();
    });

    // The window shows the new shop with its products and goes on-line from
    // its Action menu (Alt+A, Enter); order server 2 then answers for the new SHOP ID.
    bool served = false;
    options.attach = [&](WindowedShop& windowed) {
        QObject::connect(&windowed, &WindowedShop::shown, [&] {
            Shop& shop = windowed.shop();
            CMainDlg& window = windowed.window();
            [&] {
                EXPECT_EQ(boxes.texts().back(),
                          "Your shop is set up. Welcome to the Velorin Photo Network.");
                EXPECT_EQ(stored("status").toInt(), 2);
                EXPECT_EQ(stored("shopid").toString(), shopId);
                EXPECT_EQ(shop.settings().shopid, shopId.toStdString());
                ASSERT_TRUE(processUntil([&] { return shop.isReady(); }));
                ASSERT_TRUE(shop.products());
                EXPECT_FALSE(shop.products()->empty());
                EXPECT_EQ(window.stateText(), "System OFF-LINE");
                QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                ASSERT_TRUE(processUntil([&] { return !shop.isOffline(); }));
                EXPECT_EQ(window.stateText(), "System ON-LINE");
                const NetsimRun query =
                    runNetsimWhileServing({"status-query", "--shop-id", shopId, "--port",
                                           QString::number(shop.server2Port())});
                EXPECT_EQ(fieldsOf(query.out).value("result"), "1") << query.out.toStdString();
                served = true;
            }();
            window.close();
        });
    };
    SettingsStore store(profile);
    EXPECT_EQ(runWindowed(store, options), 0);
    EXPECT_TRUE(served);
    EXPECT_EQ(stored("status").toInt(), 2);
    EXPECT_EQ(stored("shopid").toString(), shopId);
    EXPECT_EQ(stored("email").toString(), "info@verhoef.example");
    EXPECT_TRUE(
        readFile(folder.filePath("SystemLog/SYSLOG000000.TXT")).endsWith("System shutdown.\r\n"));

    qunsetenv("QUILLON_STARTUP_FTP");
    QDir::setCurrent(previous);
}
