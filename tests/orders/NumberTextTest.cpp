#include "orders/NumberText.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quillon;

TEST(NumberText, SettingsFieldsTakeOnlyWholeNumbers) {
    EXPECT_EQ(parseInteger(" -42 "), -42);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger("-2147483648"), INT32_MIN);
    for (const char* refused : {"", " ", "6a", "a6", "1 2", "+-1", "2147483648", "0x10", "1.0"})
        EXPECT_FALSE(parseInteger(refused)) << refused;

    EXPECT_EQ(parseUnsigned("4294967295"), 4294967295u);
    EXPECT_EQ(parseUnsigned(" 0"), 0u);
    for (const char* refused : {"-1", "-0", "4294967296", "12abc"})
        EXPECT_FALSE(parseUnsigned(refused)) << refused;

    EXPECT_EQ(parseDecimal(" +0.29 "), 0.29);
    for (const char* refused : {"", "1,5", "2.5kg", "inf", "nan", "1e999"})
        EXPECT_FALSE(parseDecimal(refused)) << refused;
}

TEST(NumberText, ParameterCellsReadTheLeadingNumber) {
    EXPECT_EQ(leadingInteger("12abc"), 12);
    EXPECT_EQ(leadingInteger(" \t-7 x"), -7);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger("- 5"), 0);
    EXPECT_EQ(leadingInteger("99999999999"), INT32_MAX);
    EXPECT_EQ(leadingInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(leadingInteger("-99999999999"), INT32_MIN);

    EXPECT_FLOAT_EQ(leadingDecimal("2.5kg"), 2.5f);
    EXPECT_FLOAT_EQ(leadingDecimal(" +1e3x"), 1000.0f);
    EXPECT_FLOAT_EQ(leadingDecimal(".5"), 0.5f);
    EXPECT_FLOAT_EQ(leadingDecimal("-1e"), -1.0f);
    EXPECT_EQ(leadingDecimal("1,5"), 1.0f); // "." whatever the locale
    EXPECT_EQ(leadingDecimal("x"), 0.0f);
    EXPECT_EQ(leadingDecimal("+-1"), 0.0f);
    EXPECT_EQ(leadingDecimal("1e-999"), 0.0f);
    EXPECT_TRUE(std::isinf(leadingDecimal("1e999")));
    EXPECT_TRUE(std::isinf(leadingDecimal("1e300"))); // beyond a float

    EXPECT_EQ(formatDecimal(1.5f), "1.50");
    EXPECT_EQ(formatDecimal(-0.125f), "-0.12");
    EXPECT_EQ(formatInteger(-3), "-3");
}
