#pragma once

#include <QWidget>
#include <cstdint>

class QComboBox;
class QSpinBox;

namespace quillon {

// A date of the transaction history: year, month "Jan" to "Dec" and day,
// whose range follows the month (February 29 in leap years) and which goes
// back to 1 when the month changes. Its parts are named `name` + "Year",
// "Month" and "Day".
class HistoryDateChooser : public QWidget {
    Q_OBJECT
public:
    HistoryDateChooser(int lastYear, const QString& name, QWidget* parent = nullptr);

    // YYMMDD.
    int32_t date() const;

private:
    void fitDays(bool resetDay);

    QSpinBox* m_year;
    QComboBox* m_month;
    QSpinBox* m_day;
};

} // namespace quillon
