#pragma once

namespace quillon {

class OrderListView;
class OrderOpener;
class OrderSearchField;
class Shop;

// Ties the order list, its find field and the opener of summaries and
// folders to the shop: the thumbnails made with new orders seed the list's
// cache, the font setting lays the list out anew, a new order or a purge
// scrolls to the end while "Update for new order" is on, the field filters
// the list, and the list's requests open summaries and folders once the
// mouse handler that asked has returned (a message box may follow).
void bindOrderList(Shop& shop, OrderListView& list, OrderSearchField& find, OrderOpener& opener);

} // namespace quillon
