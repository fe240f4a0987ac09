#pragma once

#include "protocol/ProductItem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace quillon {

// One product line of a picture: so many of product `code`.
struct ItemLine {
    int32_t code = 0;
    int32_t quantity = 0;
    // The first product with this code in the list that priced the order,
    // or none. Product lists live as long as the shop, so this stays valid.
    const ProductItem* product = nullptr;
};

// The product lines of many pictures, each distinct run of lines stored
// once and numbered: most pictures of a shop's orders carry one of a few
// print sizes in a small quantity, so a million orders share a few
// thousand runs. Runs are only added, while one load fills the table;
// after that only the lines' products change, linked to another list.
class ItemLineRuns {
public:
    // The number of the run equal to `lines` (codes, quantities and
    // products), added when there is none.
    uint32_t intern(std::span<const ItemLine> lines);
    std::span<const ItemLine> run(uint32_t number) const {
        return std::span(m_lines).subspan(m_starts[number],
                                          m_starts[number + 1] - m_starts[number]);
    }
    size_t size() const { return m_starts.size() - 1; }
    // Frees what adding needs; the runs stay readable.
    void seal();
    // Every run's lines, to link them to products.
    std::span<ItemLine> lines() { return m_lines; }

private:
    std::vector<ItemLine> m_lines;
    std::vector<uint32_t> m_starts{0};
    std::unordered_multimap<uint64_t, uint32_t> m_numbers; // by the hash of a run
};

} // namespace quillon
