#pragma once

#include "status/OrderStatus.h"

#include <QComboBox>
#include <array>

namespace quillon {

// The status choice beside "Find order": "All", one entry per status and
// "Not picked up yet" (new, in production or ready).
class StatusChoiceBox : public QComboBox {
    Q_OBJECT
public:
    explicit StatusChoiceBox(QWidget* parent = nullptr);
    StatusFilter filter() const;

signals:
    void filterChanged(quillon::StatusFilter filter);
};

// "12 new · 3 in production · 5 ready": how many orders the shop still has
// in each open status.
QString statusCountsText(const std::array<int, kOrderStatuses.size()>& counts);

} // namespace quillon
