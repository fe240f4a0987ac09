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
#include <QProcess>
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
    // answer names the new SHOP ID, which the confirmation then sends. The
    // dialogs' actions only act and record: the test asserts after the run.
    writeFile(faults.filePath("f.json"), "[]");
    QString mismatch;
    bool openAfterMismatch = false;
    WhenShown<CShopSetupDialog> setup([&](CShopSetupDialog& d) {
        fillSetup(d, "pw12345");
        const qsizetype before = boxes.texts().size();
        d.accept();
        // The refusal's box has shown and closed once the dialog is the
        // modal window again.
        CShopSetupDialog* dialog = &d;
        whenReady(
            dialog,
            [&boxes, before, dialog] {
                return boxes.texts().size() > before && QApplication::activeModalWidget() == dialog;
            },
            [&, dialog] {
                mismatch = boxes.texts().back();
                openAfterMismatch = dialog->isVisible();
                child(*dialog, "Re-type password")->setText("pw123456");
                dialog->accept();
            },
            [dialog] { dialog->reject(); });
    });
    QString shopId, answer;
    WhenShown<CShopSetupConfirmDlg> confirm([&](CShopSetupConfirmDlg& c) {
        answer = boxes.texts().back();
        const qsizetype at = answer.indexOf("SHOP ID is ");
        shopId = at < 0 ? QString() : answer.mid(at + 11, 32);
        child(c, "shopId")->setText(shopId);
        c.accept();
    });

    // The window shows the new shop with its products and goes on-line from
    // its Action menu (Alt+A, Enter); order server 2 then answers for the new
    // SHOP ID. Each step starts the next from the event loop and records.
    struct Seen {
        QString welcome, storedId, offState, onState, queryResult;
        int status = 0;
        std::string settingsId;
        bool products = false;
    } seen;
    QProcess query;
    options.attach = [&](WindowedShop& windowed) {
        Shop* shop = &windowed.shop();
        CMainDlg* window = &windowed.window();
        QObject::connect(&windowed, &WindowedShop::shown, window, [&, shop, window] {
            seen.welcome = boxes.texts().back();
            seen.status = stored("status").toInt();
            seen.storedId = stored("shopid").toString();
            seen.settingsId = shop->settings().shopid;
            auto close = [window] { window->close(); };
            auto answered = [&seen, &query, window] {
                seen.queryResult = fieldsOf(query.readAllStandardOutput()).value("result");
                window->close();
            };
            auto online = [=, &seen, &query, &shopId] {
                seen.onState = window->stateText();
                query.start(NetsimService::program(),
                            {"status-query", "--shop-id", shopId, "--port",
                             QString::number(shop->server2Port())});
                whenReady(
                    window, [&query] { return query.state() == QProcess::NotRunning; }, answered,
                    [&query, window] {
                        query.kill();
                        window->close();
                    },
                    std::chrono::seconds(60));
            };
            auto ready = [=, &seen] {
                seen.products = shop->products() && !shop->products()->empty();
                seen.offState = window->stateText();
                QTest::keyClick(window, Qt::Key_A, Qt::AltModifier);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                whenReady(
                    window, [shop] { return !shop->isOffline(); }, online, close);
            };
            whenReady(
                window, [shop] { return shop->isReady(); }, ready, close);
        });
    };
    SettingsStore store(profile);
    EXPECT_EQ(runWindowed(store, options), 0);
    EXPECT_EQ(mismatch, "Passwords mismatch. Please re-type your password.");
    EXPECT_TRUE(openAfterMismatch);
    EXPECT_EQ(shopId.size(), 32) << answer.toStdString();
    EXPECT_EQ(seen.welcome, "Your shop is set up. Welcome to the Velorin Photo Network.");
    EXPECT_EQ(seen.status, 2);
    EXPECT_EQ(seen.storedId, shopId);
    EXPECT_EQ(seen.settingsId, shopId.toStdString());
    EXPECT_TRUE(seen.products);
    EXPECT_EQ(seen.offState, "System OFF-LINE");
    EXPECT_EQ(seen.onState, "System ON-LINE");
    EXPECT_EQ(seen.queryResult, "1");
    EXPECT_EQ(stored("status").toInt(), 2);
    EXPECT_EQ(stored("shopid").toString(), shopId);
    EXPECT_EQ(stored("email").toString(), "info@verhoef.example");
    EXPECT_TRUE(
        readFile(folder.filePath("SystemLog/SYSLOG000000.TXT")).endsWith("System shutdown.\r\n"));

    qunsetenv("QUILLON_STARTUP_FTP");
    QDir::setCurrent(previous);
}
