// The counter board in a real browser (headless Chromium through
// WebDriver): an order that arrives while the list is open shows up, and
// marked ready on its page it is ready in the shop.
#include "board/BoardPassword.h"
#include "core/WorkingFolders.h"
#include "status/StatusDatabase.h"
#include "support/PythonServer.h"
#include "support/shop/HeadlessShop.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace testsupport;

TEST(BoardBrowser, ANewOrderAppearsInTheOpenListAndIsMarkedReady) {
    HeadlessShop s(true);
    QSettings(s.profile, QSettings::IniFormat)
        .setValue("boardpassword", QString::fromStdString(quillon::hashBoardPassword("pass 1")));
    ASSERT_TRUE(s.startBoard()) << s.shop.output().toStdString();

    QProcess browser;
    browser.start(SYSTEM_PYTHON,
                  QStringList{PythonServer::supportFile("board_browser.py"), "--status", "ready",
                              s.url, "pass 1", "--", NETSIM_BIN} +
                      s.sendOrder(2));
    ASSERT_TRUE(browser.waitForFinished(90000));
    EXPECT_EQ(browser.exitCode(), 0) << browser.readAllStandardError().toStdString();
    std::printf("%s", browser.readAllStandardOutput().constData());
    EXPECT_EQ(s.shop.terminate(), 0);

    quillon::StatusDatabase statuses(
        s.folder.filePath(quillon::kDbFolder, "status.sqlite").toStdString());
    const quillon::StatusOpening opened = statuses.open(0);
    ASSERT_EQ(opened.table.size(), 1u);
    const auto history = statuses.history(opened.table.keyAt(0));
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(std::tuple(opened.table.statusAt(0), history[0].change.station),
              std::tuple(quillon::OrderStatus::Ready, "board 127.0.0.1"));
}
