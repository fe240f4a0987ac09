#include "orders/PictureList.h"

#include <algorithm>
#include <cstring>

namespace quillon {

PictureList::Builder::Builder(std::shared_ptr<ItemLineRuns> runs, uint32_t pictures,
                              size_t nameBytes)
    : m_block(new char[compactBytes(pictures, nameBytes)]), m_runs(std::move(runs)) {
    std::memcpy(m_block.get(), &pictures, sizeof pictures);
}

void PictureList::Builder::add(std::string_view fileName, uint32_t run) {
    uint32_t count = 0;
    std::memcpy(&count, m_block.get(), sizeof count);
    char* names = m_block.get() + kHeader + size_t(count) * sizeof(Slot);
    std::memcpy(names + m_nameEnd, fileName.data(), fileName.size());
    m_nameEnd += uint32_t(fileName.size());
    const Slot slot{m_nameEnd, run};
    std::memcpy(m_block.get() + kHeader + size_t(m_added) * sizeof(Slot), &slot, sizeof slot);
    ++m_added;
}

PictureList PictureList::Builder::finish() {
    PictureList list;
    list.m_block = std::move(m_block);
    list.m_runs = std::move(m_runs);
    return list;
}

PictureList::PictureList(std::initializer_list<PictureEntry> pictures) {
    size_t lines = 0;
    for (const PictureEntry& p : pictures)
        lines += p.items.size();
    reserve(pictures.size(), lines);
    for (const PictureEntry& p : pictures)
        push_back(p);
}

PictureList::PictureList(const PictureList& other) : m_runs(other.m_runs) {
    if (other.m_own)
        m_own = std::make_unique<Own>(*other.m_own);
    if (other.m_block) {
        const uint32_t count = other.compactCount();
        const size_t bytes = compactBytes(count, count ? other.slotTable()[count - 1].nameEnd : 0);
        m_block.reset(new char[bytes]);
        std::memcpy(m_block.get(), other.m_block.get(), bytes);
    }
}

PictureList& PictureList::operator=(const PictureList& other) {
    if (this != &other)
        *this = PictureList(other);
    return *this;
}

PictureList::~PictureList() = default;

uint32_t PictureList::compactCount() const {
    uint32_t count = 0;
    std::memcpy(&count, m_block.get(), sizeof count);
    return count;
}

const PictureList::Slot* PictureList::slotTable() const {
    return reinterpret_cast<const Slot*>(m_block.get() + kHeader);
}

size_t PictureList::size() const {
    if (m_own)
        return m_own->entries.size();
    return m_block ? compactCount() : 0;
}

PictureView PictureList::operator[](size_t index) const {
    if (m_own) {
        const Own& o = *m_own;
        const size_t nameBegin = index ? o.entries[index - 1].nameEnd : 0;
        const size_t lineEnd =
            index + 1 < o.entries.size() ? o.entries[index + 1].run : o.lines.size();
        const size_t firstLine = o.entries[index].run;
        return {std::string_view(o.names).substr(nameBegin, o.entries[index].nameEnd - nameBegin),
                std::span(o.lines).subspan(firstLine, lineEnd - firstLine)};
    }
    const Slot* s = slotTable();
    const char* names = m_block.get() + kHeader + size_t(compactCount()) * sizeof(Slot);
    const uint32_t nameBegin = index ? s[index - 1].nameEnd : 0;
    return {std::string_view(names + nameBegin, s[index].nameEnd - nameBegin),
            m_runs->run(s[index].run)};
}

PictureList::Own& PictureList::own() {
    if (!m_own) {
        auto made = std::make_unique<Own>();
        for (const PictureView picture : *this) {
            made->names.append(picture.fileName);
            made->entries.push_back({uint32_t(made->names.size()), uint32_t(made->lines.size())});
            made->lines.insert(made->lines.end(), picture.items.begin(), picture.items.end());
        }
        m_block.reset();
        m_runs.reset();
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
    return m_runs ? m_runs->lines() : std::span<ItemLine>();
}

} // namespace quillon
