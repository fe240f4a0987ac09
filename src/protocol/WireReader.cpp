#include "protocol/WireReader.h"

#include "netlib/ByteData.h"

#include <bit>
#include <cstring>

namespace quillon {

std::string textUpToNul(std::span<const uint8_t> bytes) {
    if (bytes.empty())
        return {};
    const void* nul = std::memchr(bytes.data(), 0, bytes.size());
    size_t length = nul ? size_t(static_cast<const uint8_t*>(nul) - bytes.data()) : bytes.size();
    return std::string(reinterpret_cast<const char*>(bytes.data()), length);
}

bool WireReader::readU32(uint32_t& value) {
    if (remaining() < 4)
        return false;
    value = readU32LE(m_bytes.data() + m_offset);
    m_offset += 4;
    return true;
}

bool WireReader::readI32(int32_t& value) {
    uint32_t raw = 0;
    if (!readU32(raw))
        return false;
    value = int32_t(raw);
    return true;
}

bool WireReader::readFloat(float& value) {
    uint32_t raw = 0;
    if (!readU32(raw))
        return false;
    value = std::bit_cast<float>(raw);
    return true;
}

bool WireReader::readBytes(size_t count, std::span<const uint8_t>& out) {
    if (remaining() < count)
        return false;
    out = m_bytes.subspan(m_offset, count);
    m_offset += count;
    return true;
}

bool WireReader::skip(size_t count) {
    std::span<const uint8_t> ignored;
    return readBytes(count, ignored);
}

bool WireReader::readText(size_t count, std::string& text) {
    std::span<const uint8_t> bytes;
    if (!readBytes(count, bytes))
        return false;
    text = textUpToNul(bytes);
    return true;
}

bool WireReader::readLengthBytes(std::span<const uint8_t>& out) {
    size_t start = m_offset;
    uint32_t length = 0;
    if (!readU32(length))
        return false;
    if (!readBytes(length, out)) {
        m_offset = start;
        return false;
    }
    return true;
}

bool WireReader::readLengthText(std::string& text) {
    std::span<const uint8_t> bytes;
    if (!readLengthBytes(bytes))
        return false;
    text = textUpToNul(bytes);
    return true;
}

} // namespace quillon
