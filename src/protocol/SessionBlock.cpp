#include "protocol/SessionBlock.h"

#include "protocol/WireReader.h"

#include <algorithm>

namespace quillon {

SessionBlock::SessionBlock(std::string_view shopid, std::string_view token1,
                           std::string_view token2) {
    setShopId(shopid);
    setToken1(token1);
    setToken2(token2);
}

bool SessionBlock::assign(std::span<const uint8_t> bytes) {
    if (bytes.size() < kSize)
        return false;
    std::copy_n(bytes.begin(), kSize, m_bytes.begin());
    return true;
}

std::string SessionBlock::field(size_t index) const {
    return textUpToNul(std::span(m_bytes).subspan(index * kFieldSize, kFieldSize));
}

void SessionBlock::setField(size_t index, std::string_view text) {
    uint8_t* start = m_bytes.data() + index * kFieldSize;
    std::fill_n(start, kFieldSize, 0);
    std::copy_n(text.begin(), std::min(text.size(), kFieldSize), start);
}

} // namespace quillon
