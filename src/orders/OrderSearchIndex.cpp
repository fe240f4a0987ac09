#include "orders/OrderSearchIndex.h"

#include <algorithm>
#include <string_view>

namespace quillon {

void OrderSearchIndex::rebuild(const Orders& orders) {
    m_text.clear();
    m_starts.assign(1, 0);
    m_starts.reserve(orders.size() + 1);
    for (const auto& order : orders) {
        appendTextOf(*order, m_text);
        m_starts.push_back(m_text.size());
    }
    m_built = true;
}

void OrderSearchIndex::insert(const Orders& orders, int index) {
    if (!m_built)
        return;
    std::string text;
    appendTextOf(*orders[size_t(index)], text);
    const size_t at = m_starts[size_t(index)];
    m_text.insert(at, text);
    m_starts.insert(m_starts.begin() + index + 1, at + text.size());
    for (size_t i = size_t(index) + 2; i < m_starts.size(); ++i)
        m_starts[i] += text.size();
}

void OrderSearchIndex::clear() {
    m_built = false;
    m_text.clear();
    m_text.shrink_to_fit();
    m_starts.clear();
    m_starts.shrink_to_fit();
}

std::vector<int> OrderSearchIndex::find(const OrderFilter& filter) const {
    std::vector<int> found;
    const size_t count = m_starts.empty() ? 0 : m_starts.size() - 1;
    if (filter.empty()) {
        found.resize(count);
        for (size_t i = 0; i < count; ++i)
            found[i] = int(i);
        return found;
    }
    // Field ends are zero bytes, which no typed text holds, so a hit never
    // spans two fields or two orders.
    const std::string_view text(m_text);
    const std::string& needle = filter.folded();
    size_t from = 0;
    while ((from = text.find(needle, from)) != std::string_view::npos) {
        const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), from);
        found.push_back(int(next - m_starts.begin()) - 1);
        from = *next; // on to the next order
    }
    return found;
}

void OrderSearchIndex::appendTextOf(const OrderEntry& order, std::string& out) {
    const auto field = [&out](const std::string& text) {
        OrderFilter::appendFolded(text, out);
        out += '\0';
    };
    field(order.orderNumber);
    field(order.customer);
    for (const PictureView picture : order.pictures)
        field(picture.fileName);
}

} // namespace quillon
