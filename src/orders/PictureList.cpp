#include "orders/PictureList.h"

#include <algorithm>

namespace quillon {

PictureList::PictureList(std::initializer_list<PictureEntry> pictures) {
    size_t lines = 0;
    for (const PictureEntry& p : pictures)
        lines += p.items.size();
    reserve(pictures.size(), lines);
    for (const PictureEntry& p : pictures)
        push_back(p);
}

PictureList::PictureList(const PictureList& other)
    : m_loaded(other.m_loaded), m_first(other.m_first), m_count(other.m_count),
      m_own(other.m_own ? std::make_unique<Own>(*other.m_own) : nullptr) {}

PictureList& PictureList::operator=(const PictureList& other) {
    if (this != &other)
        *this = PictureList(other);
    return *this;
}

PictureList::~PictureList() = default;

size_t PictureList::size() const {
    return m_own ? m_own->entries.size() : m_count;
}

PictureView PictureList::operator[](size_t index) const {
    if (!m_own) {
        const auto at = uint32_t(m_first + index);
        return {m_loaded->fileName(at), m_loaded->lines(at)};
    }
    const Own& o = *m_own;
    const size_t nameBegin = index ? o.entries[index - 1].nameEnd : 0;
    const size_t lineEnd =
        index + 1 < o.entries.size() ? o.entries[index + 1].firstLine : o.lines.size();
    const size_t firstLine = o.entries[index].firstLine;
    return {std::string_view(o.names).substr(nameBegin, o.entries[index].nameEnd - nameBegin),
            std::span(o.lines).subspan(firstLine, lineEnd - firstLine)};
}

PictureList::Own& PictureList::own() {
    if (!m_own) {
        auto made = std::make_unique<Own>();
        for (const PictureView picture : *this) {
            made->names.append(picture.fileName);
            made->entries.push_back({uint32_t(made->names.size()), uint32_t(made->lines.size())});
            made->lines.insert(made->lines.end(), picture.items.begin(), picture.items.end());
        }
        m_loaded.reset();
        m_first = m_count = 0;
        m_own = std::move(made);
    }
    return *m_own;
}

void PictureList::reserve(size_t pictures, size_t lines) {
    Own& o = own();
    o.entries.reserve(pictures);
    o.lines.reserve(lines);
}

void PictureList::push_back(const PictureEntry& picture) {
    const std::span<ItemLine> lines = add(picture.fileName, picture.items.size());
    std::copy(picture.items.begin(), picture.items.end(), lines.begin());
}

std::span<ItemLine> PictureList::add(std::string_view fileName, size_t lines) {
    Own& o = own();
    const size_t first = o.lines.size();
    o.lines.resize(first + lines);
    o.names.append(fileName);
    o.entries.push_back({uint32_t(o.names.size()), uint32_t(first)});
    return std::span(o.lines).subspan(first, lines);
}

std::span<ItemLine> PictureList::lines() {
    if (m_own)
        return m_own->lines;
    return m_loaded ? m_loaded->lines() : std::span<ItemLine>();
}

} // namespace quillon
