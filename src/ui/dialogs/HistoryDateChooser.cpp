#include "ui/dialogs/HistoryDateChooser.h"

#include "core/HistoryFields.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSpinBox>

namespace quillon {

namespace {

// Reads its text as the history's year rule does, so a year shown or typed
// with a thousands separator still counts.
class YearSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    int valueFromText(const QString& text) const override {
        return parseYearText(text).value_or(value());
    }
    QValidator::State validate(QString& text, int&) const override {
        if (text.trimmed().isEmpty())
            return QValidator::Intermediate;
        const std::optional<int> year = parseYearText(text);
        if (!year)
            return QValidator::Invalid;
        return *year >= minimum() && *year <= maximum() ? QValidator::Acceptable
                                                        : QValidator::Intermediate;
    }
};

} // namespace

HistoryDateChooser::HistoryDateChooser(int lastYear, const QString& name, QWidget* parent)
    : QWidget(parent), m_year(new YearSpinBox), m_month(new QComboBox), m_day(new QSpinBox) {
    m_year->setObjectName(name + "Year");
    m_month->setObjectName(name + "Month");
    m_day->setObjectName(name + "Day");
    m_year->setRange(kFirstHistoryYear, lastYear);
    m_year->setValue(kFirstHistoryYear);
    m_month->addItems(
        {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"});
    fitDays(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_year);
    layout->addWidget(m_month);
    layout->addWidget(m_day);

    connect(m_month, &QComboBox::currentIndexChanged, this, [this] { fitDays(true); });
    connect(m_year, &QSpinBox::valueChanged, this, [this] { fitDays(false); });
}

void HistoryDateChooser::fitDays(bool resetDay) {
    m_day->setRange(1, daysInMonth(m_year->value(), m_month->currentIndex() + 1));
    if (resetDay)
        m_day->setValue(1);
}

int32_t HistoryDateChooser::date() const {
    return historyDate(m_year->value(), m_month->currentIndex() + 1, m_day->value());
}

} // namespace quillon
