#pragma once

#include "orders/LoadedPictures.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// One picture file of an order with its product lines, as it is handed in.
struct PictureEntry {
    std::string fileName; // a plain name inside the order folder
    std::vector<ItemLine> items;
};

// One picture of a PictureList, valid while the list is not changed.
struct PictureView {
    std::string_view fileName;
    std::span<const ItemLine> items;
};

// The pictures of an order. A list is built picture by picture with its own
// names and product lines; a loaded list is compact: a range of the
// pictures its load read, shared with the other orders of the load.
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
    // Compact: `count` pictures of `loaded` from `first`.
    PictureList(std::shared_ptr<LoadedPictures> loaded, uint32_t first, uint32_t count)
        : m_loaded(std::move(loaded)), m_first(first), m_count(count) {}
    PictureList(const PictureList& other);
    PictureList& operator=(const PictureList& other);
    PictureList(PictureList&&) noexcept = default;
    PictureList& operator=(PictureList&&) noexcept = default;
    ~PictureList();

    size_t size() const;
    bool empty() const { return size() == 0; }
    PictureView operator[](size_t index) const;
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

    void reserve(size_t pictures, size_t lines);
    void clear() { *this = PictureList(); }
    void push_back(const PictureEntry& picture);
    // Adds a picture with `lines` blank product lines and returns them to be
    // filled in; they stay in place until the next picture is added. A
    // compact list becomes one with its own lines first.
    std::span<ItemLine> add(std::string_view fileName, size_t lines);

    // The product lines to link to products: a list's own lines in picture
    // order, or every distinct run of its load (shared with the load's
    // other orders).
    std::span<ItemLine> lines();
    // The load a compact list's pictures belong to, and where they begin
    // among its pictures; null for a list with its own.
    const std::shared_ptr<LoadedPictures>& loaded() const { return m_loaded; }
    uint32_t firstLoaded() const { return m_first; }

private:
    // A list built picture by picture: where each picture's name ends among
    // the names, and where its lines begin.
    struct Own {
        struct Entry {
            uint32_t nameEnd = 0;
            uint32_t firstLine = 0;
        };
        std::vector<Entry> entries;
        std::string names;
        std::vector<ItemLine> lines;
    };

    Own& own();

    std::shared_ptr<LoadedPictures> m_loaded;
    uint32_t m_first = 0;
    uint32_t m_count = 0;
    std::unique_ptr<Own> m_own;
};

} // namespace quillon
