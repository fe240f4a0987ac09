#include "orders/OrderNumbering.h"
#include "orders/Settings.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(OrderNumbering, PadsTheCounterButNeverCutsIt) {
    // Wider than its digits and without digits are the registration's test.
    EXPECT_EQ(formatOrderNumber("A", 17, "B", 4), "A0017B");
    // Unsigned: a counter past 2^31 stays positive.
    EXPECT_EQ(formatOrderNumber("", 3000000000u, "", 6), "3000000000");
}

TEST(OrderNumbering, CounterWrapsAfterTheLastNumber) {
    Settings s;
    s.rootordernumber = 1;
    s.wraparound = 999999;
    s.currentnumber = 999998;
    EXPECT_FALSE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 999999u); // the last number is still given
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 1u);

    // A first number above the last one: every order gets the first number.
    s.rootordernumber = 500;
    s.wraparound = 100;
    s.currentnumber = 500;
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 500u);
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 500u);

    s.rootordernumber = 1;
    s.wraparound = 0xFFFFFFFFu;
    s.currentnumber = 0xFFFFFFFFu;
    EXPECT_TRUE(advanceCounter(s));
    EXPECT_EQ(s.currentnumber, 1u);
}
