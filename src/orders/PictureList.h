#pragma once

#include "protocol/ProductItem.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
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

// One picture file of an order with its product lines, as it is handed in.
struct PictureEntry {
    std::string fileName; // a plain name inside the order folder
    std::vector<ItemLine> items;
};

// One picture of a PictureList, valid while the list is not changed.
struct PictureView {
    const std::string& fileName;
    std::span<const ItemLine> items;
};

// The pictures of an order. The product lines of all its pictures share one
// array, so that an order costs two allocations however many pictures it
// has: a shop loads a hundred thousand orders at every start.
class PictureList {
public:
    class Iterator {
    public:
        using value_type = PictureView;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        Iterator(const PictureList* list, size_t index) : m_list(list), m_index(index) {}
        PictureView operator*() const { return (*m_list)[m_index]; }
        Iterator& operator++() {
            ++m_index;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_index == other.m_index; }

    private:
        const PictureList* m_list = nullptr;
        size_t m_index = 0;
    };

    PictureList() = default;
    PictureList(std::initializer_list<PictureEntry> pictures);

    size_t size() const { return m_pictures.size(); }
    bool empty() const { return m_pictures.empty(); }
    PictureView operator[](size_t index) const {
        const Slot& s = m_pictures[index];
        return {s.fileName, std::span(m_lines).subspan(s.firstLine, s.lineCount)};
    }
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

    void reserve(size_t pictures, size_t lines);
    void clear() {
        m_pictures.clear();
        m_lines.clear();
    }
    void push_back(const PictureEntry& picture);
    // Adds a picture with `lines` blank product lines and returns them to be
    // filled in; they stay in place until the next picture is added.
    std::span<ItemLine> add(std::string fileName, size_t lines);

    // The product lines of every picture in order, to link them to products.
    std::span<ItemLine> lines() { return m_lines; }
    std::span<const ItemLine> lines() const { return m_lines; }

private:
    struct Slot {
        std::string fileName;
        uint32_t firstLine = 0;
        uint32_t lineCount = 0;
    };
    std::vector<Slot> m_pictures;
    std::vector<ItemLine> m_lines;
};

} // namespace quillon
