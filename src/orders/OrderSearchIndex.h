#pragma once

#include "orders/DistinctTexts.h"
#include "orders/OrderEntry.h"
#include "orders/OrderFilter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// The searchable texts of many orders, folded to lower case and laid end to
// end, so that finding a text among a million orders is a quick pass over
// contiguous memory instead of a walk through every order's pictures. Each
// order's number and customer are kept as text; its pictures' file names,
// which repeat from order to order (cameras number their pictures alike),
// are each kept once and listed per order by number.
class OrderSearchIndex {
public:
    using Orders = std::vector<std::unique_ptr<OrderEntry>>;

    void rebuild(const Orders& orders);
    // The order now at `index` was added; the ones from there on moved down.
    void insert(const Orders& orders, int index);
    void clear();
    bool isBuilt() const { return m_built; }

    // Indices of the orders that `filter` matches, in ascending order.
    std::vector<int> find(const OrderFilter& filter) const;

private:
    void appendTextOf(const OrderEntry& order, std::string& text, std::vector<uint32_t>& names);
    uint32_t nameNumber(std::string_view fileName);

    bool m_built = false;
    std::string m_text;                 // number and customer, each ending in a zero byte
    std::vector<uint32_t> m_starts;     // where each order's text begins, and the end
    std::vector<uint32_t> m_orderNames; // each order's file names by number, end to end
    std::vector<uint32_t> m_nameStarts; // where each order's numbers begin, and the end
    DistinctTexts m_names;              // the distinct file names, folded
    std::string m_folded;               // room to fold a name in
    // The number of each distinct file name of the last load met, once
    // folded and numbered here (or none yet).
    std::shared_ptr<const LoadedPictures> m_loaded;
    std::vector<uint32_t> m_loadedNames;
};

} // namespace quillon
