// The verdict of the shop's self diagnostics at start-up (the checks
// themselves are the core tests').
#include "support/shop/ShopHarness.h"

#include <gtest/gtest.h>

using namespace testsupport;

TEST(ShopStartup, DiagnosticsDecideHowTheSystemStarted) {
    ServedShop s;
    s.h.create(true);
    EXPECT_EQ(s.h.texts().back(), "System started.");
    EXPECT_NE(s.h.shop->products(), nullptr);
    EXPECT_TRUE(s.h.shop->isOffline()); // the shop starts off-line

    ShopHarness h; // no central service: the product list cannot be fetched
    h.create(true);
    auto t = h.texts();
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(std::vector(t.end() - 2, t.end()),
              (std::vector<std::string>{"You should correct the errors and re-start.",
                                        "System started with errors."}));
    EXPECT_EQ(h.shop->products(), nullptr);
}
