#include "orders/ItemLineRuns.h"

#include <algorithm>

namespace quillon {

namespace {

uint64_t hashOf(std::span<const ItemLine> lines) {
    uint64_t h = 0xcbf29ce484222325u ^ lines.size();
    for (const ItemLine& line : lines) {
        for (const uint64_t v : {uint64_t(uint32_t(line.code)), uint64_t(uint32_t(line.quantity)),
                                 uint64_t(reinterpret_cast<uintptr_t>(line.product))})
            h = (h ^ v) * 0x100000001b3u;
    }
    return h;
}

bool sameLines(std::span<const ItemLine> a, std::span<const ItemLine> b) {
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const ItemLine& x, const ItemLine& y) {
            return x.code == y.code && x.quantity == y.quantity && x.product == y.product;
        });
}

} // namespace

uint32_t ItemLineRuns::intern(std::span<const ItemLine> lines) {
    const uint64_t hash = hashOf(lines);
    const auto [first, last] = m_numbers.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (sameLines(run(it->second), lines))
            return it->second;
    const auto number = uint32_t(size());
    m_lines.insert(m_lines.end(), lines.begin(), lines.end());
    m_starts.push_back(uint32_t(m_lines.size()));
    m_numbers.emplace(hash, number);
    return number;
}

void ItemLineRuns::seal() {
    m_numbers = {};
    m_lines.shrink_to_fit();
    m_starts.shrink_to_fit();
}

} // namespace quillon
