#include "orders/OrderSearchIndex.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace quillon {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

} // namespace

void OrderSearchIndex::rebuild(const Orders& orders) {
    clear();
    m_starts.assign(1, 0);
    m_starts.reserve(orders.size() + 1);
    m_nameStarts.assign(1, 0);
    m_nameStarts.reserve(orders.size() + 1);
    for (const auto& order : orders) {
        appendTextOf(*order, m_text, m_orderNames);
        m_starts.push_back(uint32_t(m_text.size()));
        m_nameStarts.push_back(uint32_t(m_orderNames.size()));
    }
    m_built = true;
}

void OrderSearchIndex::insert(const Orders& orders, int index) {
    if (!m_built)
        return;
    std::string text;
    std::vector<uint32_t> names;
    appendTextOf(*orders[size_t(index)], text, names);
    const auto shift = [index](std::vector<uint32_t>& starts, size_t by) {
        const uint32_t at = starts[size_t(index)];
        starts.insert(starts.begin() + index + 1, uint32_t(at + by));
        for (size_t i = size_t(index) + 2; i < starts.size(); ++i)
            starts[i] += uint32_t(by);
        return at;
    };
    m_text.insert(shift(m_starts, text.size()), text);
    const uint32_t at = shift(m_nameStarts, names.size());
    m_orderNames.insert(m_orderNames.begin() + at, names.begin(), names.end());
}

void OrderSearchIndex::clear() {
    *this = OrderSearchIndex();
}

std::vector<int> OrderSearchIndex::find(const OrderFilter& filter) const {
    std::vector<int> found;
    const size_t count = m_starts.empty() ? 0 : m_starts.size() - 1;
    if (filter.empty()) {
        found.resize(count);
        for (size_t i = 0; i < count; ++i)
            found[i] = int(i);
        return found;
    }
    // Field ends are zero bytes, which no typed text holds, so a hit never
    // spans two fields or two orders.
    const std::string& needle = filter.folded();
    const std::string_view names = m_names.all();
    const std::vector<uint32_t>& nameEnds = m_names.ends();
    std::vector<char> nameHit(nameEnds.size(), 0);
    bool anyName = false;
    for (size_t from = 0; (from = names.find(needle, from)) != std::string_view::npos;) {
        const size_t number =
            size_t(std::lower_bound(nameEnds.begin(), nameEnds.end(), from) - nameEnds.begin());
        nameHit[number] = 1;
        anyName = true;
        from = nameEnds[number] + 1;
    }
    const std::string_view text(m_text);
    size_t textHit = text.find(needle);
    if (!anyName) {
        // Hits come in order: the order they lie in is found by walking on.
        for (size_t order = 0; textHit != std::string_view::npos; ++order) {
            while (m_starts[order + 1] <= textHit)
                ++order;
            found.push_back(int(order));
            textHit = text.find(needle, m_starts[order + 1]); // on to the next order
        }
        return found;
    }
    for (size_t order = 0; order < count; ++order) {
        bool hit = textHit < m_starts[order + 1];
        if (hit)
            textHit = text.find(needle, m_starts[order + 1]);
        for (uint32_t n = m_nameStarts[order]; !hit && n < m_nameStarts[order + 1]; ++n)
            hit = nameHit[m_orderNames[n]] != 0;
        if (hit)
            found.push_back(int(order));
    }
    return found;
}

void OrderSearchIndex::appendTextOf(const OrderEntry& order, std::string& text,
                                    std::vector<uint32_t>& names) {
    for (const std::string* field : {&order.orderNumber, &order.customer}) {
        OrderFilter::appendFolded(*field, text);
        text += '\0';
    }
    const std::shared_ptr<LoadedPictures>& loaded = order.pictures.loaded();
    if (!loaded) {
        for (const PictureView picture : order.pictures)
            names.push_back(nameNumber(picture.fileName));
        return;
    }
    // A load's orders share their file names: each is folded once.
    if (loaded != m_loaded) {
        m_loaded = loaded;
        m_loadedNames.assign(loaded->names().size(), kNone);
    }
    const uint32_t first = order.pictures.firstLoaded();
    for (uint32_t p = 0; p < order.pictures.size(); ++p) {
        uint32_t& number = m_loadedNames[loaded->nameOf(first + p)];
        if (number == kNone)
            number = nameNumber(loaded->fileName(first + p));
        names.push_back(number);
    }
}

uint32_t OrderSearchIndex::nameNumber(std::string_view fileName) {
    m_folded.clear();
    OrderFilter::appendFolded(fileName, m_folded);
    bool added = false;
    return m_names.intern(m_folded, added);
}

} // namespace quillon
