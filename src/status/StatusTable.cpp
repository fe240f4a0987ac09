#include "status/StatusTable.h"

#include <algorithm>

namespace quillon {

OrderKey StatusTable::keyAt(size_t row) const {
    const Key key = keyOf(m_rows[row]);
    return {std::string(key.number), key.received, std::string(key.folder)};
}

StatusTable::Key StatusTable::keyOf(const Row& row) const {
    const std::string_view texts(m_texts);
    return {texts.substr(row.text, row.numberSize), row.received,
            texts.substr(row.text + row.numberSize, row.folderSize)};
}

size_t StatusTable::lowerBound(const Key& key) const {
    const auto at =
        std::lower_bound(m_rows.begin(), m_rows.end(), key,
                         [this](const Row& row, const Key& k) { return keyOf(row) < k; });
    return size_t(at - m_rows.begin());
}

OrderStatus StatusTable::statusOf(const OrderKey& order) const {
    const Key key{order.orderNumber, order.received, order.folder};
    const size_t at = lowerBound(key);
    return at < m_rows.size() && keyOf(m_rows[at]) == key ? m_rows[at].status : OrderStatus::New;
}

std::vector<OrderStatus> StatusTable::statusesOf(const Orders& orders) const {
    std::vector<OrderStatus> statuses(orders.size(), OrderStatus::New);
    const char* texts = m_texts.data();
    const auto numberOf = [texts](const Row& row) {
        return std::string_view(texts + row.text, row.numberSize);
    };
    size_t first = 0; // the first row whose number is not below the order's
    for (size_t i = 0; i < orders.size() && first < m_rows.size(); ++i) {
        const OrderEntry& order = *orders[i];
        const std::string_view number(order.orderNumber);
        while (first < m_rows.size() && numberOf(m_rows[first]) < number)
            ++first;
        // Orders of one number are few: each is looked for among them.
        for (size_t r = first; r < m_rows.size() && numberOf(m_rows[r]) == number; ++r) {
            const Row& row = m_rows[r];
            if (row.received == order.received &&
                std::string_view(texts + row.text + row.numberSize, row.folderSize) ==
                    order.folder) {
                statuses[i] = row.status;
                break;
            }
        }
    }
    return statuses;
}

void StatusTable::add(std::string_view orderNumber, uint32_t received, std::string_view folder,
                      OrderStatus status) {
    m_rows.push_back(
        {m_texts.size(), uint32_t(orderNumber.size()), uint32_t(folder.size()), received, status});
    m_texts.append(orderNumber).append(folder);
    m_liveText += orderNumber.size() + folder.size();
}

void StatusTable::sort() {
    const auto below = [this](const Row& a, const Row& b) { return keyOf(a) < keyOf(b); };
    if (!std::is_sorted(m_rows.begin(), m_rows.end(), below))
        std::sort(m_rows.begin(), m_rows.end(), below);
}

void StatusTable::set(const std::vector<OrderKey>& orders, OrderStatus status) {
    const size_t before = m_rows.size();
    for (const OrderKey& order : orders) {
        const Key key{order.orderNumber, order.received, order.folder};
        const size_t at = lowerBound(key);
        if (at < before && keyOf(m_rows[at]) == key)
            m_rows[at].status = status;
        else if (status != OrderStatus::New)
            add(order.orderNumber, order.received, order.folder, status);
    }
    if (status == OrderStatus::New) {
        std::erase_if(m_rows, [this](const Row& row) {
            if (row.status != OrderStatus::New)
                return false;
            m_liveText -= row.numberSize + row.folderSize;
            return true;
        });
        compact();
        return;
    }
    // The new rows, sorted and each once, joined to the old ones.
    const auto below = [this](const Row& a, const Row& b) { return keyOf(a) < keyOf(b); };
    const auto added = m_rows.begin() + std::ptrdiff_t(before);
    std::sort(added, m_rows.end(), below);
    auto kept = added;
    for (auto row = added; row != m_rows.end(); ++row) {
        if (kept != added && keyOf(kept[-1]) == keyOf(*row))
            m_liveText -= row->numberSize + row->folderSize;
        else
            *kept++ = *row;
    }
    m_rows.erase(kept, m_rows.end());
    std::inplace_merge(m_rows.begin(), m_rows.begin() + std::ptrdiff_t(before), m_rows.end(),
                       below);
}

void StatusTable::compact() {
    if (m_liveText * 2 >= m_texts.size())
        return;
    std::string texts;
    texts.reserve(m_liveText);
    for (Row& row : m_rows) {
        const size_t size = row.numberSize + row.folderSize;
        const size_t from = std::exchange(row.text, texts.size());
        texts.append(m_texts, from, size);
    }
    m_texts = std::move(texts);
}

} // namespace quillon
