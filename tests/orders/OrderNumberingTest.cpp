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
    using Steps = std::vector<std::pair<bool, uint32_t>>; // wrapped, the counter after
    const auto advance = [](uint32_t first, uint32_t last, uint32_t current, int times) {
        Settings s;
        std::tie(s.rootordernumber, s.wraparound, s.currentnumber) = std::tie(first, last, current);
        Steps steps;
        for (int i = 0; i < times; ++i) {
            const bool wrapped = advanceCounter(s);
            steps.emplace_back(wrapped, s.currentnumber);
        }
        return steps;
    };
    // The last number is still given.
    EXPECT_EQ(advance(1, 999999, 999998, 2), (Steps{{false, 999999}, {true, 1}}));
    // A first number above the last one: every order gets the first number.
    EXPECT_EQ(advance(500, 100, 500, 2), (Steps{{true, 500}, {true, 500}}));
    EXPECT_EQ(advance(1, 0xFFFFFFFFu, 0xFFFFFFFFu, 1), (Steps{{true, 1}}));
}
