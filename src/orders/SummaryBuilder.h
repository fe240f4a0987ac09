#pragma once

#include "orders/Clock.h"
#include "orders/OrderEntry.h"

#include <functional>
#include <string>

namespace quillon {

class OrderSummary;

// folder/number.pdf: where an order's summary is saved.
std::string summaryPath(const std::string& folder, const std::string& orderNumber);

// Makes the thumbnails, the item count and the PDF summary of a received
// order whose item lines are already linked to products. Runs on the
// order's reception worker.
class SummaryBuilder {
public:
    explicit SummaryBuilder(const Clock& clock) : m_clock(clock) {}

    // Called with the summary before it begins; lets tests watch or disturb it.
    void setSummaryHook(std::function<void(OrderSummary&)> hook) { m_hook = std::move(hook); }

    // Every picture that can be read gets its thumbnail and, when
    // `makeSummary`, its row; every item line's quantity is added to the
    // item count. A failed summary stops neither. True when the summary
    // was saved.
    bool build(OrderEntry& order, const std::string& title, bool makeSummary = true) const;

private:
    const Clock& m_clock;
    std::function<void(OrderSummary&)> m_hook;
};

// The same, for callers that need no hook.
bool buildSummaryAndThumbnails(OrderEntry& order, const std::string& title, const Clock& clock,
                               bool makeSummary = true);

} // namespace quillon
