// The whole window over a served shop: start-up through the splash, the
// system put on-line through the menu bar, an order from the simulated
// network in the transfer list, and Exit while on-line.
#include "ui/shell/WindowedShop.h"
#include "core/WorkingFolders.h"
#include "support/OrderSamples.h"
#include "support/gui/DialogDriver.h"
#include "support/gui/RecordingAttention.h"
#include "support/shop/ShopHarness.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/mainwindow/StatusLinesPane.h"
#include "ui/mainwindow/TransferTableModel.h"
#include "ui/mainwindow/TransferView.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/shell/SplashWindow.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(WindowedShop, ReceivesAnOrderOnLineAndExitsInOrder) {
    ServedShop s;
    s.h.create(false);
    RecordingAttention attention;
    WindowOptions options;
    options.splashTickMs = 1;
    WindowedShop windowed(*s.h.shop, s.h.prompter, options, &attention);
    QSignalSpy closed(&windowed, &WindowedShop::closed);
    windowed.start();
    CMainDlg& window = windowed.window();
    ASSERT_TRUE(processUntil([&] { return window.isVisible(); }, std::chrono::seconds(30)));
    EXPECT_TRUE(windowed.splash()->isClosed());

    MenuBar& bar = *window.menuBar();
    ASSERT_EQ(bar.menus()[1].items[0].text, "Put system on-line");
    chooseMenuItem(bar, 1, 0);
    ASSERT_TRUE(processUntil([&] { return window.stateText() == "System ON-LINE"; }));

    // The owner is busy elsewhere when the order arrives.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    NetsimRun run = s.h.sendOrders({"--generate", "1", "--email", "ann@example.com"});
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const TransferTableModel& model = *window.transferView()->transferModel();
    auto cell = [&](int column) { return model.index(0, column).data().toString(); };
    ASSERT_TRUE(processUntil([&] { return model.rowCount() == 1 && !cell(4).isEmpty(); }));
    EXPECT_EQ(cell(0), "000001");
    EXPECT_EQ(cell(1), "ann@example.com");
    EXPECT_TRUE(cell(3).startsWith("Order received ")) << cell(3).toStdString();
    ASSERT_EQ(attention.asked.size(), 1u);
    EXPECT_EQ(attention.asked[0].orderNumber, "000001");

    ASSERT_EQ(bar.menus()[0].items[8].text, "Exit");
    chooseMenuItem(bar, 0, 8);
    ASSERT_TRUE(processUntil([&] { return closed.count() == 1; }));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.statusLines()->lines().last().endsWith("  System shutdown."));
}

TEST(WindowedShop, OpensAtTheNewestOrderWhileUpdateForNewOrderIsOn) {
    ShopHarness h;
    writeSampleOrders(h.folder.filePath(kDbFolder, "OE.DB").toStdString(), 60);
    h.settings.showlast = true;
    h.create(false);
    RecordingAttention attention;
    WindowOptions options;
    options.splashTickMs = 1;
    WindowedShop windowed(*h.shop, h.prompter, options, &attention);
    windowed.start();
    CMainDlg& window = windowed.window();
    ASSERT_TRUE(processUntil([&] { return window.isVisible() && h.shop->isReady(); },
                             std::chrono::seconds(30)));
    const OrderListView& list = *window.orderList();
    ASSERT_TRUE(list.verticalBarShown());
    EXPECT_GT(list.verticalOffset(), 0);
    EXPECT_EQ(list.verticalOffset(), list.verticalBar().maximumOffset());
}
