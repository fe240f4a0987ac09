// The main window over a real shop: the keyboard path through the menus,
// the order list and its find field, the Display commands and closing.
#include "core/WorkingFolders.h"
#include "support/OrderSamples.h"
#include "support/gui/DialogDriver.h"
#include "support/shop/ShopHarness.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/mainwindow/StatusLinesPane.h"
#include "ui/mainwindow/TransferView.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/orderlist/OrderSearchField.h"
#include "ui/orderlist/PopupMenu.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

struct Window {
    ShopHarness h;
    std::unique_ptr<CMainDlg> window;
    Window() {
        h.create(false);
        window = std::make_unique<CMainDlg>(*h.shop, h.prompter);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    MenuBar& bar() const { return *window->menuBar(); }
    void clickMenu(int menu, int item) { chooseMenuItem(bar(), menu, item); }
    QString itemText(int menu, int item) const {
        return bar().menus()[size_t(menu)].items[size_t(item)].text;
    }
};

} // namespace

TEST(MainWindow, KeyboardPutsTheSystemOnLineAndEscapeClosesOnlyTheDropDown) {
    Window w;
    EXPECT_EQ(std::tuple(w.window->windowTitle(), w.window->stateText()),
              std::tuple("Velorin Photo Network - Quillon", "System OFF-LINE"));
    QTest::keyClick(w.window.get(), Qt::Key_A, Qt::AltModifier);
    ASSERT_EQ(w.bar().openMenu(), 1);
    EXPECT_EQ(w.bar().highlightedItem(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(processUntil([&] { return !w.h.shop->servers().isOffline(); }));
    EXPECT_EQ(std::tuple(w.window->stateText(), w.itemText(1, 0)),
              std::tuple("System ON-LINE", "Take system off-line"));

    QTest::keyClick(w.window.get(), Qt::Key_S, Qt::AltModifier);
    ASSERT_TRUE(w.bar().isOpen());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(std::tuple(w.bar().isOpen(), w.h.shop->isShutdownPending(), w.window->isVisible()),
              std::tuple(false, false, true));

    // With no drop-down open, Escape is Exit: the window stays until the
    // servers have stopped.
    w.window->transferView()->setFocus();
    QTest::keyClick(w.window->transferView(), Qt::Key_Escape);
    EXPECT_TRUE(w.h.shop->isShutdownPending());
    ASSERT_TRUE(processUntil([&] { return !w.window->isVisible(); }));
    EXPECT_TRUE(w.window->statusLines()->lines().last().endsWith("  System shutdown."));
}

TEST(MainWindow, TheOrderListFillsItsPaneAndAnswersTheFindField) {
    Window w;
    writeSampleOrders(w.h.folder.filePath(kDbFolder, "OE.DB").toStdString(), 30);
    w.h.shop->initialise();
    ASSERT_TRUE(processUntil([&] { return w.h.shop->isReady(); }));
    // The new status database asks about the earlier orders; the summary's
    // message below must come after that question.
    ASSERT_TRUE(processUntil([&] { return !w.h.prompter.messages().empty(); }));
    OrderListView& list = *w.window->orderList();
    ASSERT_EQ(&list, w.window->orderListPane());
    EXPECT_EQ(list.rows().shownCount(), 30);
    OrderSearchField& find = *w.window->findField();

    // Display: the font choice lays the list out anew; each item then names
    // the other choice.
    const qreal small = list.rows().titleHeight();
    EXPECT_EQ(w.itemText(2, 0), "Use large font");
    w.clickMenu(2, 0);
    ASSERT_TRUE(processUntil([&] { return list.rows().titleHeight() > small; }));
    EXPECT_EQ(w.itemText(2, 0), "Use small font");
    const bool showlast = w.h.shop->settings().showlast;
    w.clickMenu(2, 1);
    ASSERT_TRUE(processUntil([&] { return w.h.shop->settings().showlast != showlast; }));
    EXPECT_EQ(w.itemText(2, 1), showlast ? "Update for new order" : "Manual update");

    // Ctrl+F, typing and Escape; Escape in the field does not close the window.
    QTest::keyClick(w.window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find.hasFocus());
    QTest::keyClicks(&find, "a-105");
    EXPECT_EQ(list.rows().shownCount(), 1);
    QTest::keyClick(&find, Qt::Key_Escape);
    EXPECT_EQ(std::tuple(list.rows().shownCount(), list.hasFocus(), w.h.shop->isShutdownPending()),
              std::tuple(30, true, false));

    // "Show summary" from the context menu, for an order without its summary.
    QTest::keyClick(&list, Qt::Key_Home);
    QTest::mouseClick(&list, Qt::RightButton, {}, list.titleBox(0).center().toPoint());
    PopupMenu& menu = list.popup();
    ASSERT_TRUE(menu.isOpen());
    QTest::mouseClick(&menu, Qt::LeftButton, {},
                      menu.mapFromParent(menu.itemBox(0).center().toPoint()));
    ASSERT_TRUE(processUntil([&] {
        const std::vector<std::string> shown = w.h.prompter.messages();
        return !shown.empty() && shown.back() == "Order details cannot be found or already opened.";
    }));

    // Escape closes an open menu and nothing else.
    QTest::mouseClick(&list, Qt::RightButton, {}, list.titleBox(1).center().toPoint());
    ASSERT_TRUE(menu.isOpen());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(std::tuple(menu.isOpen(), w.h.shop->isShutdownPending(), w.window->isVisible()),
              std::tuple(false, false, true));

    // The close box, off-line: the shop shuts down and the window goes.
    w.window->close();
    ASSERT_TRUE(processUntil([&] { return !w.window->isVisible(); }));
    EXPECT_TRUE(w.window->statusLines()->lines().last().endsWith("  System shutdown."));
}

TEST(MainWindow, FindFontAndMouseAreSafeAtAnyMomentOfTheOrderLoad) {
    ShopHarness h;
    writeSampleOrders(h.folder.filePath(kDbFolder, "OE.DB").toStdString(), 3000);
    h.holdLoad();
    h.create(false);
    CMainDlg window(*h.shop, h.prompter);
    window.show();
    OrderListView& list = *window.orderList();
    h.shop->initialise();
    // No event is delivered while the load is held: whatever it has posted
    // to this thread is still waiting, as it would behind a busy window.
    ASSERT_TRUE(h.loadHeld());
    QTest::keyClicks(window.findField(), "a-1");
    h.shop->toggleFontSize();
    list.grab();
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&list, Qt::RightButton, {}, QPoint(60, 12));
    QTest::keyClick(&list, Qt::Key_End);
    h.releaseLoad();

    ASSERT_TRUE(processUntil([&] { return h.shop->isReady(); }, std::chrono::seconds(30)));
    // "A-100" to "A-199" and "A-1000" to "A-1999".
    EXPECT_EQ(std::tuple(list.rows().shownCount(), list.rows().fonts().large()),
              std::tuple(1100, true));
    list.grab();
}
