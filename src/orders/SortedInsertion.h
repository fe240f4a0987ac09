#pragma once

#include <algorithm>
#include <functional>
#include <iterator>
#include <vector>

namespace quillon {

// The lists kept in sorted order (orders by number, trusted customers by
// e-mail address) take each new item by a binary search over the items
// before the last one: an item goes after its equals there, and one equal
// to the last item's key goes just before it. Files saved from them hold
// that order, so a load must reproduce it.
//
// Files `batch` into `list` exactly as inserting its items one by one in
// that way would, in O(n log n) whatever their order, without moving the
// list for every item. Sorted insertion keeps the list sorted and places an
// equal key after its equals, except that it goes just before the last of
// them when their key was the greatest listed at the time; so only that
// fact per item needs remembering. `keyOf(item)` gives the key by reference.
template <typename T, typename KeyOf>
void fileSorted(std::vector<T>& list, std::vector<T> batch, KeyOf keyOf) {
    const auto keyLess = [&keyOf](const T& a, const T& b) { return keyOf(a) < keyOf(b); };
    // Items in key order as a rule: each then goes to the end, and nothing
    // needs sorting.
    if (std::adjacent_find(batch.begin(), batch.end(), std::not_fn(keyLess)) == batch.end() &&
        (list.empty() || batch.empty() || keyLess(list.back(), batch.front()))) {
        list.insert(list.end(), std::make_move_iterator(batch.begin()),
                    std::make_move_iterator(batch.end()));
        return;
    }
    struct Entry {
        T item;
        bool greatestOnArrival = false;
    };
    std::vector<Entry> entries;
    entries.reserve(list.size() + batch.size());
    for (T& item : list)
        entries.push_back({std::move(item)});
    // The greatest key so far is that of the list's last item, then of the
    // batch's greatest one; entries never reallocate, so it can be pointed at.
    const T* greatest = list.empty() ? nullptr : &entries.back().item;
    for (T& item : batch) {
        const bool equal =
            greatest && !(keyOf(*greatest) < keyOf(item)) && !(keyOf(item) < keyOf(*greatest));
        entries.push_back({std::move(item), equal});
        if (!greatest || keyOf(*greatest) < keyOf(entries.back().item))
            greatest = &entries.back().item;
    }
    // Stable: the listed items, then the batch in arrival order.
    std::stable_sort(entries.begin(), entries.end(), [&keyLess](const Entry& a, const Entry& b) {
        return keyLess(a.item, b.item);
    });

    list.clear();
    list.reserve(entries.size());
    size_t groupStart = 0;
    for (Entry& e : entries) {
        if (list.empty() || keyLess(list.back(), e.item))
            groupStart = list.size();
        const bool beforeLast = e.greatestOnArrival && list.size() > groupStart;
        list.insert(beforeLast ? list.end() - 1 : list.end(), std::move(e.item));
    }
}

} // namespace quillon
