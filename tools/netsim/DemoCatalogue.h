#pragma once

#include "ServiceRecords.h"

#include <QDate>
#include <string>
#include <vector>

namespace quillon {

// What the simulated network answers when nothing else is configured.
inline constexpr char kDefaultShipping1[] = "Home delivery";
inline constexpr char kDefaultShipping2[] = "Velorin Parcel Service";
inline constexpr char kDefaultShipping3[] = "2-3 working days";
inline constexpr char kDefaultPaymentText1[] = "Paid";
inline constexpr char kDefaultPaymentText2[] = "PayPal";

// A photo shop's usual range: prints in several sizes, posters, canvas,
// mugs, calendars, books. The first product's code is kFirstDemoProductCode.
ProductList demoProducts();
inline constexpr int kFirstDemoProductCode = 101;

// A few weeks of orders ending at `today`, different for each shop.
std::vector<HistoryRecord> demoHistory(const QDate& today, int shopNumber);

// The details of a shop that was set up from the command line.
ShopInfo demoShopInfo(int number, const std::string& email);

} // namespace quillon
