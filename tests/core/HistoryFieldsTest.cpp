// The transaction history's date rules and the texts of its rows.
#include "core/HistoryFields.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(HistoryFields, DateChoosers) {
    EXPECT_EQ(historyDate(2009, 1, 1), 90101);
    EXPECT_EQ(historyDate(2031, 12, 31), 311231);
    EXPECT_EQ(daysInMonth(2012, 2), 29);
    EXPECT_EQ(daysInMonth(2013, 2), 28);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2013, 4), 30);
    EXPECT_EQ(daysInMonth(2013, 12), 31);
    EXPECT_EQ(lastHistoryYear(2015), 2020);
    EXPECT_EQ(lastHistoryYear(2031), 2031);
    EXPECT_EQ(parseYearText("2,015"), 2015);
    EXPECT_EQ(parseYearText(" 2012 "), 2012);
    EXPECT_EQ(parseYearText("20x2"), std::nullopt);
    EXPECT_EQ(parseYearText("-2012"), std::nullopt);
    EXPECT_EQ(parseYearText(""), std::nullopt);
}

TEST(HistoryFields, ColumnsAndExportLine) {
    HistoryRecord row{"000101  ", "Anna Berg \t", 12.5f, 1.0f, 120229, 905, 3, "PayPal"};
    EXPECT_EQ(historyColumns(row),
              (std::array<std::string, 6>{"000101", "12.50", "Anna Berg", "2012-02-29 09:05",
                                          "Live", "PayPal"}));
    EXPECT_EQ(historyExportLine(row), "000101;12.50;Anna Berg;2012-02-29 09:05;Live;PayPal");
    for (auto [status, text] :
         {std::pair{0, "Created"}, {1, "Sandbox"}, {5, "Live"}, {6, ""}, {-1, ""}})
        EXPECT_EQ(historyStatusText(status), text) << status;

    // Texts that would split or join the values are quoted.
    HistoryRecord odd{"7", "Smith; \"Jo\"", 0.125f, 0, 91231, 2359, 0, ""};
    EXPECT_EQ(historyExportLine(odd), "7;0.12;\"Smith; \"\"Jo\"\"\";2009-12-31 23:59;Created;");
}
