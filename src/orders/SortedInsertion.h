#pragma once

#include <algorithm>
#include <functional>
#include <iterator>
#include <type_traits>
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
    // The items stay where they are while only small handles are sorted;
    // each item moves once, to its place.
    std::vector<T> items;
    items.reserve(list.size() + batch.size());
    std::move(list.begin(), list.end(), std::back_inserter(items));
    std::move(batch.begin(), batch.end(), std::back_inserter(items));
    struct Handle {
        const std::remove_cvref_t<decltype(keyOf(items.front()))>* key;
        size_t item;
        bool greatestOnArrival;
        bool beforeLast;
    };
    std::vector<Handle> handles;
    handles.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        handles.push_back({&keyOf(items[i]), i, false, false});
    // The greatest key so far is that of the list's last item, then of the
    // batch's greatest one.
    const auto* greatest = list.empty() ? nullptr : handles[list.size() - 1].key;
    for (size_t i = list.size(); i < handles.size(); ++i) {
        const auto& key = *handles[i].key;
        handles[i].greatestOnArrival = greatest && !(*greatest < key) && !(key < *greatest);
        if (!greatest || *greatest < key)
            greatest = &key;
    }
    // Stable: the listed items, then the batch in arrival order.
    std::stable_sort(handles.begin(), handles.end(),
                     [](const Handle& a, const Handle& b) { return *a.key < *b.key; });
    // Which items go just before the last of their equals, decided while
    // every key is still in place.
    size_t groupStart = 0;
    for (size_t k = 0; k < handles.size(); ++k) {
        if (k > 0 && *handles[k - 1].key < *handles[k].key)
            groupStart = k;
        handles[k].beforeLast = handles[k].greatestOnArrival && k > groupStart;
    }

    list.clear();
    list.reserve(items.size());
    for (const Handle& h : handles)
        list.insert(h.beforeLast ? list.end() - 1 : list.end(), std::move(items[h.item]));
}

} // namespace quillon
