#include "orders/NumberText.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace quillon;

TEST(NumberText, SettingsFieldsTakeOnlyWholeNumbers) {
    for (auto [text, value] : {std::pair{" -42 ", -42}, {"+7", 7}, {"-2147483648", INT32_MIN}})
        EXPECT_EQ(parseInteger(text), value) << text;
    for (const char* refused : {"", " ", "6a", "a6", "1 2", "+-1", "2147483648", "0x10", "1.0"})
        EXPECT_FALSE(parseInteger(refused)) << refused;

    EXPECT_EQ(std::tuple(parseUnsigned("4294967295"), parseUnsigned(" 0")),
              std::tuple(4294967295u, 0u));
    for (const char* refused : {"-1", "-0", "4294967296", "12abc"})
        EXPECT_FALSE(parseUnsigned(refused)) << refused;

    EXPECT_EQ(parseDecimal(" +0.29 "), 0.29);
    for (const char* refused : {"", "1,5", "2.5kg", "inf", "nan", "1e999"})
        EXPECT_FALSE(parseDecimal(refused)) << refused;
}

TEST(NumberText, ParameterCellsReadTheLeadingNumber) {
    for (auto [text, value] : {std::pair{"12abc", 12},
                               {" \t-7 x", -7},
                               {"abc", 0},
                               {"- 5", 0},
                               {"99999999999", INT32_MAX},
                               {"-2147483648", INT32_MIN},
                               {"-99999999999", INT32_MIN}})
        EXPECT_EQ(leadingInteger(text), value) << text;

    for (auto [text, value] :
         {std::pair{"2.5kg", 2.5f}, {" +1e3x", 1000.0f}, {".5", 0.5f}, {"-1e", -1.0f}})
        EXPECT_FLOAT_EQ(leadingDecimal(text), value) << text;
    // "." whatever the locale.
    for (auto [text, value] :
         {std::pair{"1,5", 1.0f}, {"x", 0.0f}, {"+-1", 0.0f}, {"1e-999", 0.0f}})
        EXPECT_EQ(leadingDecimal(text), value) << text;
    EXPECT_TRUE(std::isinf(leadingDecimal("1e999")));
    EXPECT_TRUE(std::isinf(leadingDecimal("1e300"))); // beyond a float

    EXPECT_EQ(std::tuple(formatDecimal(1.5f), formatDecimal(-0.125f), formatInteger(-3)),
              std::tuple("1.50", "-0.12", "-3"));
}
