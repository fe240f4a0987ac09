#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Texts kept once each, numbered in the order they were first met and laid
// end to end, each followed by a zero byte; until seal(), a hash table finds
// a text's number.
class DistinctTexts {
public:
    // The number of `text`, added when it is not there yet; `added` says
    // whether it was.
    uint32_t intern(std::string_view text, bool& added);
    std::string_view text(uint32_t number) const {
        const uint32_t begin = number ? m_ends[number - 1] + 1 : 0;
        return std::string_view(m_texts).substr(begin, m_ends[number] - begin);
    }
    uint32_t size() const { return uint32_t(m_ends.size()); }
    // Every text with its zero byte, and where each ends (at its zero byte).
    std::string_view all() const { return m_texts; }
    const std::vector<uint32_t>& ends() const { return m_ends; }
    // No more texts come: frees the table.
    void seal();

private:
    std::string m_texts;
    std::vector<uint32_t> m_ends;
    std::vector<uint32_t> m_table; // open addressing: numbers by hash, or none
};

} // namespace quillon
