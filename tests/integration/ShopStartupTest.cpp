// The shop's own start-up steps: self diagnostics and their verdict.
#include "support/shop/ShopHarness.h"

#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

TEST(ShopStartup, DiagnosticsDecideHowTheSystemStarted) {
    {
        ServedShop s;
        s.h.create(true);
        EXPECT_EQ(s.h.texts().back(), "System started.");
        EXPECT_NE(s.h.shop->products(), nullptr);
        EXPECT_TRUE(s.h.shop->isOffline()); // the shop starts off-line
    }
    {
        ShopHarness h; // no central service: the product list cannot be fetched
        h.create(true);
        auto t = h.texts();
        ASSERT_GE(t.size(), 2u);
        EXPECT_EQ(t[t.size() - 2], "You should correct the errors and re-start.");
        EXPECT_EQ(t.back(), "System started with errors.");
        EXPECT_EQ(h.shop->products(), nullptr);
    }
    {
        ServedShop s;
        s.h.settings.rootpath = s.h.folder.filePath("missing").toStdString();
        s.h.create(true);
        EXPECT_EQ(s.h.texts(), (std::vector<std::string>{
                                   "Perform Self Diagnostics...", "Checking Root Folder...",
                                   "Error: Root Folder not available.",
                                   "You should correct the errors and re-start.",
                                   "System started with errors."}));
    }
}
