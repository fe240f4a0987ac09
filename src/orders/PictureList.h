#pragma once

#include "orders/ItemLineRuns.h"

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
// product lines; a loaded list is compact: its file names lie end to end in
// one block, and its product lines are runs of a table shared with the
// other orders of the same load, so that a million orders of ten pictures
// fit in a few hundred megabytes.
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

    // Builds a compact list whose pictures' lines are runs of `runs`.
    class Builder {
    public:
        Builder(std::shared_ptr<ItemLineRuns> runs, uint32_t pictures, size_t nameBytes);
        void add(std::string_view fileName, uint32_t run);
        PictureList finish();

    private:
        std::unique_ptr<char[]> m_block;
        std::shared_ptr<ItemLineRuns> m_runs;
        uint32_t m_added = 0;
        uint32_t m_nameEnd = 0;
    };

    PictureList() = default;
    PictureList(std::initializer_list<PictureEntry> pictures);
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
    // order, or the whole table whose runs a compact list's pictures are
    // (shared with the other orders of its load).
    std::span<ItemLine> lines();
    // The table a compact list's lines are runs of; null for a list with
    // its own lines.
    const ItemLineRuns* runs() const { return m_runs.get(); }

private:
    // A compact picture: where its name ends among the names, and its run.
    struct Slot {
        uint32_t nameEnd = 0;
        uint32_t run = 0;
    };
    // A list built picture by picture: a picture's run is where its lines
    // begin.
    struct Own {
        std::vector<Slot> entries;
        std::string names;
        std::vector<ItemLine> lines;
    };
    static constexpr size_t kHeader = 8; // the picture count, then padding
    static size_t compactBytes(uint32_t pictures, size_t nameBytes) {
        return kHeader + size_t(pictures) * sizeof(Slot) + nameBytes;
    }

    uint32_t compactCount() const;
    const Slot* slotTable() const;
    Own& own();

    // Compact: the count, the slots, then the names.
    std::unique_ptr<char[]> m_block;
    std::shared_ptr<ItemLineRuns> m_runs;
    std::unique_ptr<Own> m_own;
};

} // namespace quillon
