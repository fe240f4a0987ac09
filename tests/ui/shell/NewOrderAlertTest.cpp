// A stored order asks for the owner's attention while the window is not the
// active one, unless the profile turns it off.
#include "ui/shell/NewOrderAlert.h"
#include "support/gui/RecordingAttention.h"
#include "support/shop/ShopHarness.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace quillon;
using namespace testsupport;

namespace {

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

TEST(NewOrderAlert, AsksOnceWhileTheWindowIsInactiveAndNeverWhenTurnedOff) {
    Alerted on(true);
    on.orderArrives();
    ASSERT_EQ(on.attention.asked.size(), 1u);
    EXPECT_EQ(on.attention.asked[0].orderNumber, "000001");
    EXPECT_EQ(on.attention.asked[0].customer, "ann@example.com");
    EXPECT_EQ(on.attention.asked[0].total, "12.50");

    on.window.show();
    on.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&on.window));
    on.orderArrives();
    EXPECT_EQ(on.attention.asked.size(), 1u);

    Alerted off(false);
    off.orderArrives();
    EXPECT_TRUE(off.attention.asked.empty());
}
