// The transaction history's date rules and the texts of its rows.
#include "core/HistoryFields.h"

#include <gtest/gtest.h>

using namespace quillon;

// The history dialog's test walks a leap day, a 30-day month, a year typed
// with a thousands separator and the export of odd texts; here the rules it
// cannot reach.
TEST(HistoryFields, RulesBeyondTheDialogsChoices) {
    EXPECT_EQ(historyDate(2031, 12, 31), 311231);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(lastHistoryYear(2015), 2020);
    EXPECT_EQ(lastHistoryYear(2031), 2031);
    for (const char* text : {"20x2", "-2012", ""})
        EXPECT_EQ(parseYearText(text), std::nullopt) << text;
    for (auto [status, text] :
         {std::pair{0, "Created"}, {1, "Sandbox"}, {5, "Live"}, {6, ""}, {-1, ""}})
        EXPECT_EQ(historyStatusText(status), text) << status;
    HistoryRecord odd{"7", "Smith; \"Jo\"", 0.125f, 0, 91231, 2359, 0, ""};
    EXPECT_EQ(historyExportLine(odd), "7;0.12;\"Smith; \"\"Jo\"\"\";2009-12-31 23:59;Created;");
}
