// The whole window over a served shop: start-up through the splash before
// the order database's load has ended, the system put on-line through the
// menu bar, an order from the simulated network in the transfer list, and
// Exit while on-line; and when a new order asks for the owner's attention.
#include "ui/shell/WindowedShop.h"
#include "core/WorkingFolders.h"
#include "support/OrderSamples.h"
#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/mainwindow/StatusLinesPane.h"
#include "ui/mainwindow/TransferTableModel.h"
#include "ui/mainwindow/TransferView.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/shell/Attention.h"
#include "ui/shell/NewOrderAlert.h"
#include "ui/shell/SplashWindow.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

// Notes every request for the owner's attention instead of making it.
struct RecordingAttention : Attention {
    std::vector<NewOrderNotice> asked;
    void ask(const NewOrderNotice& notice) override { asked.push_back(notice); }
};

struct Alerted {
    ShopHarness h;
    QWidget window;
    RecordingAttention attention;
    explicit Alerted(bool notify) {
        h.settings.notifyneworders = notify;
        h.create(false);
        new NewOrderAlert(*h.shop, &window, attention);
    }
    void orderArrives() {
        emit h.shop->intake().orderReceived("000001", "ann@example.com", "12.50", 0);
    }
};

} // namespace

// Shown at once, before the order database's load has ended: an order
// received meanwhile is listed and in the transfer list, and its record
// waits for the load; Exit waits for it too.
TEST(WindowedShop, ReceivesAnOrderOnLineDuringTheLoadAndExitsInOrder) {
    ServedShop s;
    const std::string db = s.h.folder.filePath(kDbFolder, "OE.DB").toStdString();
    writeSampleOrders(db, 3000);
    const QByteArray loaded = readFile(QString::fromStdString(db));
    s.h.holdLoad();
    s.h.create(false);
    RecordingAttention attention;
    WindowOptions options;
    options.splashTickMs = 1;
    WindowedShop windowed(*s.h.shop, s.h.prompter, options, &attention);
    QSignalSpy closed(&windowed, &WindowedShop::closed);
    windowed.start();
    ASSERT_TRUE(s.h.loadHeld());
    CMainDlg& window = windowed.window();
    ASSERT_TRUE(processUntil([&] { return window.isVisible(); }, std::chrono::seconds(30)));
    EXPECT_TRUE(windowed.splash()->isClosed() && s.h.hasLine("Reading the order database."));

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
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const TransferTableModel& model = *window.transferView()->transferModel();
    auto cell = [&](int column) { return model.index(0, column).data().toString(); };
    ASSERT_TRUE(processUntil([&] { return model.rowCount() == 1 && !cell(4).isEmpty(); }));
    EXPECT_EQ(std::tuple(cell(0), cell(1), cell(3).left(15)),
              std::tuple("000001", "ann@example.com", "Order received "));
    ASSERT_EQ(attention.asked.size(), 1u);
    EXPECT_EQ(attention.asked[0].orderNumber, "000001");
    // Listed at once (what the list follows is the binding's test).
    ASSERT_TRUE(processUntil([&] { return s.h.shop->orderBook().size() == 1; }));
    EXPECT_TRUE(processUntil([&] { return window.orderList()->rows().shownCount() == 1; }));
    EXPECT_EQ(readFile(QString::fromStdString(db)), loaded);

    ASSERT_EQ(bar.menus()[0].items[8].text, "Exit");
    chooseMenuItem(bar, 0, 8);
    ASSERT_TRUE(processUntil([&] { return !s.h.shop->servers().isRunning(); }));
    EXPECT_EQ(closed.count(), 0);
    s.h.releaseLoad();
    ASSERT_TRUE(processUntil([&] { return closed.count() == 1; }));
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(s.h.hasLine("Order database read: 3000 orders.") &&
                window.statusLines()->lines().last().endsWith("  System shutdown."));
    EXPECT_TRUE(readFile(QString::fromStdString(db)).startsWith(loaded));
    OrderBook reloaded(db);
    reloaded.load();
    EXPECT_EQ(std::tuple(reloaded.size(), reloaded.withOrders([](const OrderBook::Orders& o) {
                  return o[0]->orderNumber;
              })),
              std::tuple(3001u, "000001"));
}

// A stored order asks for attention while the window is not the active
// one, unless the profile turns it off.
TEST(NewOrderAlert, AsksOnceWhileTheWindowIsInactiveAndNeverWhenTurnedOff) {
    Alerted on(true);
    on.orderArrives();
    ASSERT_EQ(on.attention.asked.size(), 1u);
    EXPECT_EQ(std::tie(on.attention.asked[0].customer, on.attention.asked[0].total),
              std::tuple("ann@example.com", "12.50"));

    on.window.show();
    on.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&on.window));
    on.orderArrives();
    Alerted off(false);
    off.orderArrives();
    EXPECT_EQ(std::tuple(on.attention.asked.size(), off.attention.asked.size()),
              std::tuple(1u, 0u));
}
