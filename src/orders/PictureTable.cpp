#include "orders/PictureTable.h"

namespace quillon {

PictureTable::PictureTable(const OrderEntry& order) {
    // Every copy is made before any pointer is taken, so no later growth of
    // a vector can move what an entry points to.
    m_names.reserve(order.pictures.size());
    m_items.reserve(order.pictures.size());
    for (const PictureView picture : order.pictures) {
        m_names.emplace_back(picture.fileName);
        std::vector<PictureTableItem> items;
        items.reserve(picture.items.size());
        for (const ItemLine& line : picture.items)
            items.push_back({line.code, line.quantity});
        m_items.push_back(std::move(items));
    }
    m_entries.reserve(order.pictures.size());
    for (std::size_t i = 0; i < m_names.size(); ++i)
        m_entries.push_back({m_names[i].c_str(), static_cast<int32_t>(m_items[i].size()),
                             m_items[i].empty() ? nullptr : m_items[i].data()});
}

const PictureTableEntry* PictureTable::entry(std::size_t index) const {
    return index < m_entries.size() ? &m_entries[index] : nullptr;
}

} // namespace quillon
