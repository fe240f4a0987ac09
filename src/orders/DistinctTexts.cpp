#include "orders/DistinctTexts.h"

#include <algorithm>
#include <functional>

namespace quillon {

namespace {

constexpr uint32_t kEmpty = UINT32_MAX;

} // namespace

uint32_t DistinctTexts::intern(std::string_view text, bool& added) {
    // At most half full, so that a probe ends soon.
    if (m_table.size() < 2 * (m_ends.size() + 1)) {
        std::vector<uint32_t> table(std::max<size_t>(64, m_table.size() * 2), kEmpty);
        const size_t mask = table.size() - 1;
        for (uint32_t number = 0; number < size(); ++number) {
            size_t slot = std::hash<std::string_view>()(this->text(number)) & mask;
            while (table[slot] != kEmpty)
                slot = (slot + 1) & mask;
            table[slot] = number;
        }
        m_table = std::move(table);
    }
    const size_t mask = m_table.size() - 1;
    for (size_t slot = std::hash<std::string_view>()(text) & mask;; slot = (slot + 1) & mask) {
        const uint32_t number = m_table[slot];
        if (number == kEmpty) {
            m_texts.append(text);
            m_ends.push_back(uint32_t(m_texts.size()));
            m_texts += '\0';
            m_table[slot] = size() - 1;
            added = true;
            return m_table[slot];
        }
        if (this->text(number) == text) {
            added = false;
            return number;
        }
    }
}

void DistinctTexts::seal() {
    m_table = {};
    m_texts.shrink_to_fit();
    m_ends.shrink_to_fit();
}

} // namespace quillon
