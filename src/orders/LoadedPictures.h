#pragma once

#include "orders/DistinctTexts.h"
#include "protocol/ProductItem.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
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

// The pictures of the orders one load of the order database read, in one
// place. File names repeat from order to order (cameras number their
// pictures alike), and the product lines of most pictures are one of a few
// print sizes in a small quantity: each distinct file name and each
// distinct run of product lines is kept once and numbered, and the orders'
// pictures are pairs of numbers, one order after the other in large blocks
// for the whole load. A million orders of ten pictures then cost a few
// bytes a picture and no allocation of their own.
class LoadedPictures {
public:
    // While the load reads: adds the next picture of an order, with its file
    // name and its product lines as stored (`lineBytes`), which
    // read(std::vector<ItemLine>& lines) appends to `lines` when such lines
    // were not met before.
    template <class Read>
    void add(std::string_view fileName, std::string_view lineBytes, Read&& read) {
        bool added = false;
        const uint32_t run = m_runs.intern(lineBytes, added);
        if (added) {
            read(m_lines);
            m_runEnds.push_back(uint32_t(m_lines.size()));
        }
        if ((m_count & kBlockMask) == 0 && m_count >> kBlockShift == m_blocks.size())
            m_blocks.push_back(std::make_unique<Picture[]>(kBlockMask + 1));
        picture(m_count++) = {m_names.intern(fileName, added), run};
    }
    // Where the next order's pictures begin; the pictures of an order that
    // proves damaged are taken back with dropFrom().
    uint32_t end() const { return m_count; }
    void dropFrom(uint32_t first) { m_count = first; }
    // The load is over: frees what adding needs.
    void seal();

    // Picture `index` of the orders' pictures.
    std::string_view fileName(uint32_t index) const { return m_names.text(nameOf(index)); }
    std::span<const ItemLine> lines(uint32_t index) const {
        const uint32_t run = picture(index).run;
        const uint32_t begin = run ? m_runEnds[run - 1] : 0;
        return std::span(m_lines).subspan(begin, m_runEnds[run] - begin);
    }
    // The number of picture `index`'s file name among the distinct ones.
    uint32_t nameOf(uint32_t index) const { return picture(index).name; }
    const DistinctTexts& names() const { return m_names; }
    // Every distinct run's product lines, to link them to products.
    std::span<ItemLine> lines() { return m_lines; }

private:
    struct Picture {
        uint32_t name = 0;
        uint32_t run = 0;
    };
    // The orders' pictures lie in blocks, which are never moved or copied
    // as the load grows.
    static constexpr uint32_t kBlockShift = 16;
    static constexpr uint32_t kBlockMask = (1u << kBlockShift) - 1;
    Picture& picture(uint32_t index) { return m_blocks[index >> kBlockShift][index & kBlockMask]; }
    const Picture& picture(uint32_t index) const {
        return m_blocks[index >> kBlockShift][index & kBlockMask];
    }

    DistinctTexts m_names;
    DistinctTexts m_runs; // the runs as stored, to find them again
    std::vector<ItemLine> m_lines;
    std::vector<uint32_t> m_runEnds;
    std::vector<std::unique_ptr<Picture[]>> m_blocks;
    uint32_t m_count = 0;
};

} // namespace quillon
