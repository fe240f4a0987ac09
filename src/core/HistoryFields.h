#pragma once

#include "protocol/HistoryRequest.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// How the "Transaction history" dialog reads its date choosers and shows
// and exports its rows.

inline constexpr int kFirstHistoryYear = 2009;
// The year choosers end at the current year, and never before 2020.
int lastHistoryYear(int currentYear);
// February has 29 days in a leap year, so its last day can be asked for.
int daysInMonth(int year, int month);
// ((year - 2000) x 100 + month) x 100 + day.
int32_t historyDate(int year, int month, int day);
// A year as its chooser shows it, thousands separators removed; none when
// the rest is not a whole number.
std::optional<int> parseYearText(const QString& text);

// "Created", "Sandbox", "Live" for 2 to 5, an empty text for any other.
std::string historyStatusText(int32_t status);
// The six column texts: order number and customer without trailing blanks,
// the amount with two decimals, "YYYY-MM-DD HH:MM", status, payment.
std::array<std::string, 6> historyColumns(const HistoryRecord& row);
// The export's line of a row: the six column texts joined by ";"; a text
// holding ";", a quote or a line break goes in quotes, as CSV has it.
std::string historyExportLine(const HistoryRecord& row);

} // namespace quillon
