#include "orders/OrderFilter.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillon {

namespace {

// Lower case of every Windows-1252 byte.
constexpr std::array<unsigned char, 256> makeLower() {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[size_t(c)] = (unsigned char)c;
    for (int c = 'A'; c <= 'Z'; ++c)
        t[size_t(c)] = (unsigned char)(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[size_t(c)] = (unsigned char)(c + 32);
    t[0x8A] = 0x9A; // S with caron
    t[0x8C] = 0x9C; // OE
    t[0x8E] = 0x9E; // Z with caron
    t[0x9F] = 0xFF; // Y with diaeresis
    return t;
}

constexpr std::array<unsigned char, 256> kLower = makeLower();

unsigned char upperOf(unsigned char lower) {
    for (int c = 0; c < 256; ++c)
        if (kLower[size_t(c)] == lower && c != lower)
            return (unsigned char)c;
    return lower;
}

} // namespace

void OrderFilter::appendFolded(std::string_view text, std::string& out) {
    const size_t at = out.size();
    out.resize(at + text.size());
    for (size_t i = 0; i < text.size(); ++i)
        out[at + i] = char(kLower[static_cast<unsigned char>(text[i])]);
}

OrderFilter::OrderFilter(std::string_view text) {
    appendFolded(text, m_folded);
    // A zero byte never matches (texts end at it).
    m_folded.erase(std::remove(m_folded.begin(), m_folded.end(), '\0'), m_folded.end());
    if (!m_folded.empty()) {
        m_first = static_cast<unsigned char>(m_folded[0]);
        m_firstOther = upperOf(m_first);
    }
}

bool OrderFilter::matches(const OrderEntry& order) const {
    if (empty() || foundIn(order.orderNumber) || foundIn(order.customer))
        return true;
    for (const PictureView picture : order.pictures)
        if (foundIn(picture.fileName))
            return true;
    return false;
}

bool OrderFilter::foundIn(std::string_view text) const {
    const size_t n = m_folded.size();
    if (text.size() < n)
        return false;
    // Candidates are found by the first letter in either case; memchr
    // skips the rest of the text quickly.
    const char* const begin = text.data();
    const char* const last = begin + (text.size() - n);
    for (const unsigned char wanted : {m_first, m_firstOther}) {
        const char* p = begin;
        while (p <= last) {
            p = static_cast<const char*>(std::memchr(p, wanted, size_t(last - p) + 1));
            if (!p)
                break;
            size_t i = 1;
            while (i < n && kLower[static_cast<unsigned char>(p[i])] ==
                                static_cast<unsigned char>(m_folded[i]))
                ++i;
            if (i == n)
                return true;
            ++p;
        }
        if (m_firstOther == m_first)
            break;
    }
    return false;
}

} // namespace quillon
