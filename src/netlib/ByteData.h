#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// A growable byte buffer. Reads past the end never happen: getU32 reports
// whether the four bytes were there.
class ByteData {
public:
    ByteData() = default;
    explicit ByteData(std::string_view bytes) { append(bytes); }

    void clear() { m_bytes.clear(); }
    size_t size() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    const uint8_t* data() const { return m_bytes.data(); }
    uint8_t* data() { return m_bytes.data(); }

    void append(const void* bytes, size_t count);
    void append(std::string_view bytes) { append(bytes.data(), bytes.size()); }
    void appendU32(uint32_t value);
    void reserve(size_t count) { m_bytes.reserve(count); }
    void resize(size_t count) { m_bytes.resize(count); }

    // Little-endian u32 at `offset`; false when fewer than 4 bytes are there.
    bool getU32(size_t offset, uint32_t& value) const;
    // Same, 0 when the bytes are not there.
    uint32_t u32At(size_t offset) const;

    std::string_view view() const {
        return {reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size()};
    }
    std::string toString() const { return std::string(view()); }

private:
    std::vector<uint8_t> m_bytes;
};

// Little-endian helpers shared by every encoder and decoder.
inline uint32_t readU32LE(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void writeU32LE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

} // namespace quillon
