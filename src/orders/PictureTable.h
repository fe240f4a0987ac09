#pragma once

#include "orders/OrderEntry.h"
#include "orders/plugin_api.h"

#include <cstddef>
#include <string>
#include <vector>

namespace quillon {

// The picture table that plug-ins read during an order's reception: one entry
// per picture of the order, with copies of the names and product lines that
// the table owns. Movable; moving keeps the entries' pointers valid.
class PictureTable {
public:
    PictureTable() = default;
    explicit PictureTable(const OrderEntry& order);

    PictureTable(const PictureTable&) = delete;
    PictureTable& operator=(const PictureTable&) = delete;
    PictureTable(PictureTable&&) = default;
    PictureTable& operator=(PictureTable&&) = default;

    // The C array handed to the plug-ins; null when the order has no pictures.
    const PictureTableEntry* data() const { return m_entries.empty() ? nullptr : m_entries.data(); }
    int32_t count() const { return static_cast<int32_t>(m_entries.size()); }
    // The entry of picture `index`, or null beyond the order's pictures.
    const PictureTableEntry* entry(std::size_t index) const;

private:
    std::vector<std::string> m_names;
    std::vector<std::vector<PictureTableItem>> m_items;
    std::vector<PictureTableEntry> m_entries;
};

} // namespace quillon
