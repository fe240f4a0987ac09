#include "ui/orderlist/StatusChoiceBox.h"

namespace quillon {

namespace {

QString textOf(OrderStatus status) {
    const std::string_view text = statusText(status);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace

StatusChoiceBox::StatusChoiceBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("statusChoice"));
    setAccessibleName(QStringLiteral("Orders with the status"));
    addItem(QStringLiteral("All"));
    for (OrderStatus status : kOrderStatuses)
        addItem(textOf(status));
    addItem(QStringLiteral("Not picked up yet"));
    // As wide as its longest entry, whatever the font.
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setFixedWidth(sizeHint().width());
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit filterChanged(filter()); });
}

StatusFilter StatusChoiceBox::filter() const {
    const int i = currentIndex();
    if (i >= 1 && i <= int(kOrderStatuses.size()))
        return {quillon::StatusChoice::Only, kOrderStatuses[size_t(i - 1)]};
    if (i == int(kOrderStatuses.size()) + 1)
        return {quillon::StatusChoice::NotPickedUpYet};
    return {};
}

QString statusCountsText(const std::array<int, kOrderStatuses.size()>& counts) {
    QStringList parts;
    for (OrderStatus status : {OrderStatus::New, OrderStatus::InProduction, OrderStatus::Ready}) {
        const QString name =
            status == OrderStatus::Ready ? QStringLiteral("ready") : textOf(status).toLower();
        parts << QStringLiteral("%1 %2").arg(counts[size_t(status)]).arg(name);
    }
    return parts.join(QStringLiteral(" \u00B7 "));
}

} // namespace quillon
