// Order statuses in the window: set from the pop-up menu, the keyboard and
// for a selection, shown in each order's label and the state band's counts,
// and chosen beside "Find order".
#include "core/ShopStatuses.h"
#include "support/OrderSamples.h"
#include "support/shop/ShopHarness.h"
#include "ui/mainwindow/CMainDlg.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/orderlist/OrderSearchField.h"
#include "ui/orderlist/PopupMenu.h"
#include "ui/orderlist/StatusChoiceBox.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(OrderStatusesInTheWindow, SetFromTheMenuTheKeysAndASelectionShownAndChosen) {
    ShopHarness h;
    // Enough orders that a change of one is taken in on its own, and one of
    // a selection with the whole book.
    writeSampleOrders(h.folder.filePath("Db/OE.DB").toStdString(), 40);
    h.settings.showlast = false;
    h.create(false);
    CMainDlg window(*h.shop, h.prompter);
    window.show();
    h.shop->initialise();
    // The new database asks about the orders before today; No keeps them New.
    ASSERT_TRUE(processUntil([&] { return !h.prompter.messages().empty(); }));
    OrderListView& list = *window.orderList();
    ASSERT_EQ(list.rows().shownCount(), 40);
    EXPECT_EQ(window.statusCountsText(), "40 new \u00B7 0 in production \u00B7 0 ready");
    auto shown = [&](int index, OrderStatus status) {
        return processUntil([&] { return list.rows().status(index) == status; });
    };
    auto title = [&](int row) { return list.titleBox(row).center().toPoint(); };

    // From the pop-up: the menu grows to its longest item.
    QTest::mouseClick(&list, Qt::RightButton, {}, title(0));
    PopupMenu& menu = list.popup();
    ASSERT_TRUE(menu.isOpen());
    EXPECT_GT(menu.menuRect().width(), OrderListView::kMenuWidth);
    const QPoint inProduction = menu.itemBox(4).center().toPoint() - menu.pos();
    QTest::mouseClick(&menu, Qt::LeftButton, {}, inProduction);
    ASSERT_TRUE(shown(0, OrderStatus::InProduction));

    // From the keyboard, for the clicked order.
    QTest::mouseClick(&list, Qt::LeftButton, {}, title(1));
    QTest::keyClick(&list, Qt::Key_3, Qt::ControlModifier);
    ASSERT_TRUE(shown(1, OrderStatus::Ready));

    // For three at once: a click and a Shift-click.
    QTest::mouseClick(&list, Qt::LeftButton, {}, title(2));
    QTest::mouseClick(&list, Qt::LeftButton, Qt::ShiftModifier, title(4));
    EXPECT_EQ(list.selectedOrders(), (std::vector<int>{2, 3, 4}));
    QTest::keyClick(&list, Qt::Key_4, Qt::ControlModifier);
    for (int i : {2, 3, 4})
        ASSERT_TRUE(shown(i, OrderStatus::PickedUp));
    EXPECT_EQ(window.statusCountsText(), "35 new \u00B7 1 in production \u00B7 1 ready");

    // The status choice filters, together with the find text.
    StatusChoiceBox& choice = *window.statusChoice();
    choice.setCurrentIndex(1 + int(OrderStatus::PickedUp));
    EXPECT_EQ(list.rows().shownCount(), 3);
    choice.setCurrentIndex(int(kOrderStatuses.size()) + 1); // not picked up yet
    EXPECT_EQ(list.rows().shownCount(), 37);
    window.findField()->setText("A-101");
    EXPECT_EQ(list.rows().shownCount(), 1);
    window.findField()->clear();
    // An order that is picked up leaves the choice's orders at once.
    QTest::mouseClick(&list, Qt::LeftButton, {}, title(0));
    QTest::keyClick(&list, Qt::Key_4, Qt::ControlModifier);
    ASSERT_TRUE(processUntil([&] { return list.rows().shownCount() == 36; }));
    EXPECT_EQ(list.rows().bookIndex(0), 1);
    choice.setCurrentIndex(0);
    EXPECT_EQ(list.rows().shownCount(), 40);
}
