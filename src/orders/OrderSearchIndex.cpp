#include "orders/OrderSearchIndex.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace quillon {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

// Where `position` lies among the parts that `starts` begin (and end).
size_t partAt(const std::vector<uint32_t>& starts, size_t position) {
    return size_t(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
}

} // namespace

void OrderSearchIndex::rebuild(const Orders& orders) {
    clear();
    m_starts.assign(1, 0);
    m_starts.reserve(orders.size() + 1);
    m_nameStarts.assign(1, 0);
    m_nameStarts.reserve(orders.size() + 1);
    for (const auto& order : orders) {
        appendTextOf(*order, m_text, m_orderNames);
        m_starts.push_back(uint32_t(m_text.size()));
        m_nameStarts.push_back(uint32_t(m_orderNames.size()));
    }
    m_built = true;
}

void OrderSearchIndex::insert(const Orders& orders, int index) {
    if (!m_built)
        return;
    std::string text;
    std::vector<uint32_t> names;
    appendTextOf(*orders[size_t(index)], text, names);
    const auto shift = [index](std::vector<uint32_t>& starts, size_t by) {
        const uint32_t at = starts[size_t(index)];
        starts.insert(starts.begin() + index + 1, uint32_t(at + by));
        for (size_t i = size_t(index) + 2; i < starts.size(); ++i)
            starts[i] += uint32_t(by);
        return at;
    };
    m_text.insert(shift(m_starts, text.size()), text);
    const uint32_t at = shift(m_nameStarts, names.size());
    m_orderNames.insert(m_orderNames.begin() + at, names.begin(), names.end());
}

void OrderSearchIndex::clear() {
    *this = OrderSearchIndex();
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
    const std::string& needle = filter.folded();
    std::vector<char> nameHit(m_nameEnds.size(), 0);
    bool anyName = false;
    const std::string_view names(m_names);
    for (size_t from = 0; (from = names.find(needle, from)) != std::string_view::npos;) {
        const size_t number = size_t(std::lower_bound(m_nameEnds.begin(), m_nameEnds.end(), from) -
                                     m_nameEnds.begin());
        nameHit[number] = 1;
        anyName = true;
        from = m_nameEnds[number] + 1;
    }
    const std::string_view text(m_text);
    size_t textHit = text.find(needle);
    if (!anyName) {
        while (textHit != std::string_view::npos) {
            const size_t order = partAt(m_starts, textHit);
            found.push_back(int(order));
            textHit = text.find(needle, m_starts[order + 1]); // on to the next order
        }
        return found;
    }
    for (size_t order = 0; order < count; ++order) {
        bool hit = textHit < m_starts[order + 1];
        if (hit)
            textHit = text.find(needle, m_starts[order + 1]);
        for (uint32_t n = m_nameStarts[order]; !hit && n < m_nameStarts[order + 1]; ++n)
            hit = nameHit[m_orderNames[n]] != 0;
        if (hit)
            found.push_back(int(order));
    }
    return found;
}

void OrderSearchIndex::appendTextOf(const OrderEntry& order, std::string& text,
                                    std::vector<uint32_t>& names) {
    for (const std::string* field : {&order.orderNumber, &order.customer}) {
        OrderFilter::appendFolded(*field, text);
        text += '\0';
    }
    for (const PictureView picture : order.pictures) {
        m_folded.clear();
        OrderFilter::appendFolded(picture.fileName, m_folded);
        names.push_back(nameNumber(m_folded));
    }
}

std::string_view OrderSearchIndex::name(uint32_t number) const {
    const size_t begin = number ? m_nameEnds[number - 1] + 1 : 0;
    return std::string_view(m_names).substr(begin, m_nameEnds[number] - begin);
}

uint32_t OrderSearchIndex::nameNumber(std::string_view folded) {
    if (m_nameTable.size() < 2 * (m_nameEnds.size() + 1))
        growNameTable();
    const size_t mask = m_nameTable.size() - 1;
    for (size_t slot = std::hash<std::string_view>()(folded) & mask;; slot = (slot + 1) & mask) {
        const uint32_t number = m_nameTable[slot];
        if (number == kNone) {
            m_names.append(folded);
            m_nameEnds.push_back(uint32_t(m_names.size()));
            m_names += '\0';
            m_nameTable[slot] = uint32_t(m_nameEnds.size() - 1);
            return m_nameTable[slot];
        }
        if (name(number) == folded)
            return number;
    }
}

void OrderSearchIndex::growNameTable() {
    std::vector<uint32_t> table(std::max<size_t>(64, m_nameTable.size() * 2), kNone);
    const size_t mask = table.size() - 1;
    for (uint32_t number = 0; number < m_nameEnds.size(); ++number) {
        size_t slot = std::hash<std::string_view>()(name(number)) & mask;
        while (table[slot] != kNone)
            slot = (slot + 1) & mask;
        table[slot] = number;
    }
    m_nameTable = std::move(table);
}

} // namespace quillon
