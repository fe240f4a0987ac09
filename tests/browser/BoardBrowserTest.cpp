// The counter board in a real browser (headless Chromium through
// WebDriver): an order that arrives while the list is open shows up.
#include "board/BoardPassword.h"
#include "support/PythonServer.h"
#include "support/board/BoardShop.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace testsupport;

TEST(BoardBrowser, ANewOrderAppearsInTheOpenListAndOpensWithItsPictures) {
    BoardShop s;
    QSettings(s.profile, QSettings::IniFormat)
        .setValue("boardpassword", QString::fromStdString(quillon::hashBoardPassword("pass 1")));
    ASSERT_TRUE(s.start()) << s.shop.output().toStdString();

    QProcess browser;
    browser.start(SYSTEM_PYTHON, QStringList{PythonServer::supportFile("board_browser.py"), s.url,
                                             "pass 1", "--", NETSIM_BIN} +
                                     s.sendOrder(2));
    ASSERT_TRUE(browser.waitForFinished(90000));
    EXPECT_EQ(browser.exitCode(), 0) << browser.readAllStandardError().toStdString();
    std::printf("%s", browser.readAllStandardOutput().constData());
    EXPECT_EQ(s.shop.terminate(), 0);
}
