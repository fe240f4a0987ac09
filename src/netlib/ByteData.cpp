#include "netlib/ByteData.h"

namespace quillon {

void ByteData::append(const void* bytes, size_t count) {
    if (count == 0)
        return;
    const auto* p = static_cast<const uint8_t*>(bytes);
    m_bytes.insert(m_bytes.end(), p, p + count);
}

void ByteData::appendU32(uint32_t value) {
    uint8_t b[4];
    writeU32LE(b, value);
    append(b, 4);
}

bool ByteData::getU32(size_t offset, uint32_t& value) const {
    if (offset > m_bytes.size() || m_bytes.size() - offset < 4)
        return false;
    value = readU32LE(m_bytes.data() + offset);
    return true;
}

uint32_t ByteData::u32At(size_t offset) const {
    uint32_t v = 0;
    getU32(offset, v);
    return v;
}

} // namespace quillon
