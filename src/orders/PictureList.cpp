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

void PictureList::reserve(size_t pictures, size_t lines) {
    m_pictures.reserve(pictures);
    m_lines.reserve(lines);
}

void PictureList::push_back(const PictureEntry& picture) {
    const std::span<ItemLine> lines = add(picture.fileName, picture.items.size());
    std::copy(picture.items.begin(), picture.items.end(), lines.begin());
}

std::span<ItemLine> PictureList::add(std::string fileName, size_t lines) {
    const size_t first = m_lines.size();
    m_lines.resize(first + lines);
    m_pictures.push_back({std::move(fileName), uint32_t(first), uint32_t(lines)});
    return std::span(m_lines).subspan(first, lines);
}

} // namespace quillon
