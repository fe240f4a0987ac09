#include "ui/orderlist/OrderListBinding.h"
#include "core/WorkingFolders.h"
#include "orders/OrderBook.h"
#include "support/OrderSamples.h"
#include "support/shop/ShopHarness.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/orderlist/OrderOpener.h"
#include "ui/orderlist/OrderSearchField.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(OrderListBinding, TheListFollowsTheShopsOrdersAndDisplaySettings) {
    ServedShop s;
    // Orders on file, so that the list is taller than its view.
    writeSampleOrders(s.h.folder.filePath(kDbFolder, "OE.DB").toStdString(), 30);
    s.h.create(false);
    Shop& shop = *s.h.shop;
    OrderListView list(shop.orderBook());
    list.resize(300, 200);
    list.show();
    OrderSearchField find;
    std::vector<QUrl> opened;
    OrderOpener opener(s.h.prompter, [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    bindOrderList(shop, list, find, opener);

    // Loading shows the newest orders while "Update for new order" is on;
    // then the find field's clear button (the icon theme) is set up.
    EXPECT_FALSE(find.isClearButtonEnabled());
    shop.initialise();
    ASSERT_TRUE(processUntil([&] { return shop.isReady(); }));
    ASSERT_TRUE(list.verticalBarShown());
    EXPECT_EQ(list.verticalOffset(), list.verticalBar().maximumOffset());
    EXPECT_TRUE(processUntil([&] { return find.isClearButtonEnabled(); }));

    // A new order: its thumbnails come along, and the list moves to the end.
    QTest::keyClick(&list, Qt::Key_Home);
    shop.goOnline();
    NetsimRun run = s.h.sendOrders({"--generate", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_TRUE(processUntil([&] { return shop.orderBook().size() == 31; }));
    EXPECT_EQ(std::tuple(list.thumbnails().count(), list.verticalOffset()),
              std::tuple(2, list.verticalBar().maximumOffset()));

    // A double click asks for the summary once the mouse handler is done.
    find.setText("000001");
    ASSERT_EQ(list.rows().shownCount(), 1);
    QTest::mouseDClick(&list, Qt::LeftButton, {}, list.titleBox(0).center().toPoint());
    EXPECT_TRUE(opened.empty());
    ASSERT_TRUE(processUntil([&] { return !opened.empty(); }));
    EXPECT_TRUE(opened[0].toLocalFile().endsWith("/000001/000001.pdf"))
        << opened[0].toString().toStdString();
}
