#include "ui/orderlist/OrderListBinding.h"

#include "core/Shop.h"
#include "core/ShopStatuses.h"
#include "orders/OrderBook.h"
#include "ui/orderlist/OrderListView.h"
#include "ui/orderlist/OrderOpener.h"
#include "ui/orderlist/OrderSearchField.h"

namespace quillon {

void bindOrderList(Shop& shop, OrderListView& list, OrderSearchField& find, OrderOpener& opener) {
    list.setLargeFont(shop.settings().fontsize);
    list.setStatuses(shop.statuses().store());
    QObject::connect(&list, &OrderListView::statusRequested, &list,
                     [&shop](const std::vector<OrderKey>& orders, OrderStatus status) {
                         shop.statuses().setStatus(orders, status);
                     });
    QObject::connect(&list, &OrderListView::tellAgainRequested, &list,
                     [&shop](const OrderKey& order) { shop.statuses().tellCustomerAgain(order); });
    QObject::connect(&shop.intake(), &OrderIntake::thumbnailMade, &list,
                     &OrderListView::seedThumbnail);
    QObject::connect(&shop, &Shop::settingsChanged, &list, [&shop, &list] {
        if (list.rows().fonts().large() != shop.settings().fontsize)
            list.setLargeFont(shop.settings().fontsize);
    });
    // The list follows the book first (it connected earlier), then moves.
    const auto showLast = [&shop, &list] {
        if (shop.settings().showlast)
            list.scrollToEnd();
    };
    QObject::connect(&shop.orderBook(), &OrderBook::orderInserted, &list, showLast);
    QObject::connect(&shop.orderBook(), &OrderBook::ordersReset, &list, showLast);

    QObject::connect(&shop.orderBook(), &OrderBook::ordersReset, &find,
                     &OrderSearchField::showClearButton, Qt::QueuedConnection);
    QObject::connect(&find, &QLineEdit::textChanged, &list, &OrderListView::setFilter);
    QObject::connect(&find, &OrderSearchField::opened, &list, &OrderListView::prepareFind);
    QObject::connect(&find, &OrderSearchField::dismissed, &list,
                     [&list] { list.setFocus(Qt::OtherFocusReason); });

    QObject::connect(&list, &OrderListView::summaryRequested, &list,
                     [&list, &opener](const std::string& folder, const std::string& number) {
                         QMetaObject::invokeMethod(
                             &list,
                             [&opener, folder, number] { opener.openSummary(folder, number); },
                             Qt::QueuedConnection);
                     });
    QObject::connect(
        &list, &OrderListView::folderRequested, &list, [&list, &opener](const std::string& folder) {
            QMetaObject::invokeMethod(
                &list, [&opener, folder] { opener.openFolder(folder); }, Qt::QueuedConnection);
        });
}

} // namespace quillon
