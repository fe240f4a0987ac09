#include "core/HistoryFields.h"

#include <QLocale>
#include <algorithm>
#include <cstdio>

namespace quillon {

namespace {

constexpr int kChoosersEndNoEarlierThan = 2020;

std::string withoutTrailingBlanks(std::string text) {
    const size_t end = text.find_last_not_of(" \t");
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

// A text that holds the separator, a quote or a line break is quoted, its
// quotes doubled, so a spreadsheet still reads six values from the line.
std::string exportField(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

int lastHistoryYear(int currentYear) {
    return std::max(currentYear, kChoosersEndNoEarlierThan);
}

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[size_t(month - 1)];
}

int32_t historyDate(int year, int month, int day) {
    return ((year - 2000) * 100 + month) * 100 + day;
}

std::optional<int> parseYearText(const QString& text) {
    QString digits = text.trimmed();
    digits.remove(',');
    digits.remove(QLocale().groupSeparator());
    bool ok = false;
    const int year = digits.toInt(&ok);
    if (!ok || digits.isEmpty() || !digits[0].isDigit())
        return std::nullopt;
    return year;
}

std::string historyStatusText(int32_t status) {
    switch (status) {
    case 0:
        return "Created";
    case 1:
        return "Sandbox";
    case 2:
    case 3:
    case 4:
    case 5:
        return "Live";
    default:
        return {};
    }
}

std::array<std::string, 6> historyColumns(const HistoryRecord& row) {
    char total[64];
    std::snprintf(total, sizeof total, "%1.2f", double(row.amount));
    char when[96];
    std::snprintf(when, sizeof when, "%d-%02d-%02d %02d:%02d", 2000 + row.date / 10000,
                  row.date / 100 % 100, row.date % 100, row.time / 100, row.time % 100);
    return {withoutTrailingBlanks(row.orderNumber), total,
            withoutTrailingBlanks(row.customer),    when,
            historyStatusText(row.status),          row.payment};
}

std::string historyExportLine(const HistoryRecord& row) {
    const std::array<std::string, 6> columns = historyColumns(row);
    std::string line = exportField(columns[0]);
    for (size_t i = 1; i < columns.size(); ++i)
        line += ";" + exportField(columns[i]);
    return line;
}

} // namespace quillon
