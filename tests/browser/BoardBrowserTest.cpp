// The counter board in a real browser (headless Chromium through
// WebDriver): an order that arrives while the list is open shows up.
#include "board/BoardPassword.h"
#include "support/NetsimService.h"
#include "support/PythonServer.h"
#include "support/TestSupport.h"
#include "support/shop/QuillonProcess.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

using namespace testsupport;

TEST(BoardBrowser, ANewOrderAppearsInTheOpenListAndOpensWithItsPictures) {
    NetsimService service;
    ASSERT_TRUE(service.start({"--shop", "42:secret:shop@example.com", "--seed"}));
    ShopFolder folder;
    const QString profile = folder.filePath("profile.ini");
    {
        QSettings p(profile, QSettings::IniFormat);
        p.setValue("status", 2);
        p.setValue("shopid", NetsimService::shopId(42));
        p.setValue("hostaddress", "127.0.0.1");
        p.setValue("rootpath", folder.filePath("Orders"));
        p.setValue("board", 1);
        p.setValue("boardaddress", "127.0.0.1");
        p.setValue("boardpassword", QString::fromStdString(quillon::hashBoardPassword("pass 1")));
    }
    QuillonProcess shop(folder.path(), profile);
    ASSERT_TRUE(shop.start({"--online", "--service-port", QString::number(service.servicePort()),
                            "--board-port", "0"}));
    ASSERT_TRUE(shop.waitForOutput("Counter board at http://127.0.0.1:"))
        << shop.output().toStdString();
    const QString url = QRegularExpression("Counter board at (http://127.0.0.1:\\d+/)")
                            .match(shop.output())
                            .captured(1);

    QProcess browser;
    browser.start(SYSTEM_PYTHON,
                  {PythonServer::supportFile("board_browser.py"), url, "pass 1", "--", NETSIM_BIN,
                   "send-order", "--shop-number", "42", "--generate", "2", "--email",
                   "ann@example.com", "--port", QString::number(shop.port1()), "--register-port",
                   QString::number(shop.port2())});
    ASSERT_TRUE(browser.waitForFinished(90000));
    EXPECT_EQ(browser.exitCode(), 0) << browser.readAllStandardError().toStdString();
    std::printf("%s", browser.readAllStandardOutput().constData());
    EXPECT_EQ(shop.terminate(), 0);
}
